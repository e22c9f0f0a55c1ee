// Build tool: writes a drawn XPM image as a PNG of the given size, for the desktop's icon theme.
#include <QtGui/QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s image.xpm size out.png\n", argv[0]);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[2]);
    if (image.isNull() || size <= 0) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    if (image.width() != size) {
        // Whole multiples repeat each drawn pixel, so that the larger icons stay as sharp as the
        // drawing; other sizes are blended.
        const bool wholeMultiple = size % image.width() == 0;
        image = image.scaled(size, size, Qt::KeepAspectRatio,
                             wholeMultiple ? Qt::FastTransformation : Qt::SmoothTransformation);
    }
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
