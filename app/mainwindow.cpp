#include "mainwindow.h"

#include "caption_button.h"
#include "captions.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "native_names.h"
#include "tab_strip.h"
#include "icons/ffname-16.xpm"
#include "icons/ffname-32.xpm"

#include <QtCore/QDir>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <cmath>
#include <limits>

namespace app {

namespace {

QFont TimesNewRoman(qreal points, QFont::Weight weight)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

} // namespace

MainWindow::MainWindow(commands::Shell& shell) : frame_(*this, shell)
{
    // The folder that Form_Load opens, the working directory, is read while the window is built.
    FolderReadAhead firstFolder = ReadAhead(NativePath(QDir::currentPath()));
    setObjectName(QStringLiteral("cbCrFile"));
    setWindowTitle(QStringLiteral("FF Name"));
    QIcon icon;
    icon.addPixmap(QPixmap(ffname_32_xpm));
    icon.addPixmap(QPixmap(ffname_16_xpm));
    setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("ffname"));

    // The window's default font, which every control without a font of its own uses: a sans
    // font that shows Cyrillic, small enough for the layout.
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);

    setFixedSize(Pixels(0, 0, 9468, 3780).size());
    CreateControls();
    DirFolder->UseReadAhead(std::move(firstFolder));
    ConnectEvents();
    DirDrive->setFocus();
    RunEvent([this] { Form_Load(); });
}

MainWindow::~MainWindow() = default;

bool MainWindow::event(QEvent* event)
{
    // A question over the window blocks it and then unblocks it. Qt hands both pieces of news
    // down to every control, none of which does anything with them, and when Delete All asks
    // once per file that is a quarter of each question's cost. The blocking itself happens
    // without them: a blocked window gets no input.
    if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked)
        return true;
    return QWidget::event(event);
}

// Twips to pixels at the window's logical resolution.
QRect MainWindow::Pixels(int left, int top, int width, int height) const
{
    const auto x = [this](int twips) { return qRound(twips * logicalDpiX() / 1440.0); };
    const auto y = [this](int twips) { return qRound(twips * logicalDpiY() / 1440.0); };
    return QRect(x(left), y(top), x(width), y(height));
}

void MainWindow::CreateControls()
{
    const auto place = [this](auto* control, const char* name, int left, int top, int width,
                              int height) {
        control->setObjectName(QLatin1String(name));
        control->setGeometry(Pixels(left, top, width, height));
        return control;
    };
    const auto button = [&](QWidget* page, const char* name, int top) {
        return place(new CaptionButton(QString(), page), name, 120, top, 1812, 492);
    };
    const QFont tnr9bold = TimesNewRoman(9, QFont::Bold);
    const QFont tnr78 = TimesNewRoman(7.8, QFont::Normal);

    // Created from the back to the front: a later control lies over an earlier one.
    Label1 = place(new QLabel(this), "Label1", 3720, 240, 1812, 252);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setFont(tnr9bold);
    DirDrive = place(new DriveList(this), "DirDrive", 120, 480, 2652, 288);
    DirFolder = place(new FolderTree(*DirDrive, this), "DirFolder", 120, 960, 2652, 1800);
    DirFiles = place(new FileList(this), "DirFiles", 3000, 960, 3132, 1800);
    txtName = place(new QLineEdit(this), "txtName", 3000, 480, 3132, 372);
    txtName->setMaxLength(std::numeric_limits<int>::max());

    Frame1 = place(new QGroupBox(QStringLiteral("Select Language"), this), "Frame1", 120, 2880,
                   2772, 732);
    OptEng = place(new QRadioButton(QStringLiteral("English"), Frame1), "OptEng", 240, 240, 2292,
                   372);
    OptRus = place(new QRadioButton(QStringLiteral("Russian"), Frame1), "OptRus", 1440, 240, 1092,
                   372);
    OptEng->setChecked(true);

    FrameFolder = place(new QGroupBox(this), "FrameFolder", 6360, 600, 2652, 2172);
    cbCr = button(FrameFolder, "cbCr", 240);
    cbRen = button(FrameFolder, "cbRen", 840);
    cbDel = button(FrameFolder, "cbDel", 1440);
    FrameFile = place(new QGroupBox(this), "FrameFile", 6360, 600, 2772, 2172);
    cbCrFile = button(FrameFile, "cbCrFile", 240);
    cbRenFile = button(FrameFile, "cbRenFile", 840);
    cbDelFile = button(FrameFile, "cbDelFile", 1440);
    FrameAllFiles = place(new QGroupBox(this), "FrameAllFiles", 6360, 600, 2772, 2172);
    cbRenAll = button(FrameAllFiles, "cbRenAll", 240);
    cbDelAll = button(FrameAllFiles, "cbDelAll", 840);
    FrameFile->hide();
    FrameAllFiles->hide();

    TabStrip1 = place(new TabStrip(this), "TabStrip1", 6360, 120, 2772, 372);
    TabStrip1->setFont(tnr9bold);
    TabStrip1->setExpanding(false);
    TabStrip1->setUsesScrollButtons(false);
    TabStrip1->setElideMode(Qt::ElideNone);
    TabStrip1->setDrawBase(false);
    for (int tab = 0; tab < 3; ++tab)
        TabStrip1->addTab(QString());

    Frame2 = place(new QGroupBox(this), "Frame2", 4800, 2880, 4332, 732);
    Frame2->setFont(tnr78);
    OptDelRec = place(new QRadioButton(Frame2), "OptDelRec", 120, 240, 2652, 372);
    OptDel = place(new QRadioButton(Frame2), "OptDel", 2880, 240, 1332, 372);
    OptDelRec->setFont(tnr78);
    OptDel->setFont(tnr78);
    OptDelRec->setChecked(true);

    ApplyCaptions(*this, englishCaptions);

    // Keyboard order; the label and the frames take no focus, and of each option group Tab
    // reaches the selected option only (Qt's way with exclusive option buttons).
    const QWidget* order[] = {DirDrive, DirFolder, DirFiles,  txtName,   OptEng,   OptRus,
                              cbCr,     cbDel,     cbRen,     cbDelFile, cbRenFile, cbCrFile,
                              cbRenAll, cbDelAll,  TabStrip1, OptDelRec, OptDel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

void MainWindow::ConnectEvents()
{
    connect(DirDrive, &DriveList::Change, this, [this] {
        RunEvent([this] { DirDrive_Change(); });
        // Also after a failure, the drive list shows the drive that the tree is on.
        DirDrive->ShowDriveOf(DirFolder->Path());
    });
    connect(DirFolder, &FolderTree::OpenRequested, this,
            [this](const std::filesystem::path& folder) {
                RunEvent([this, &folder] { DirFolder->OpenFolder(folder); });
            });
    connect(DirFolder, &FolderTree::Change, this, &MainWindow::DirFolder_Change);
    connect(TabStrip1, &QTabBar::currentChanged, this, &MainWindow::TabStrip1_Click);
    // A click on the tab that is already selected changes nothing, but is a click all the same.
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == TabStrip1->currentIndex())
            TabStrip1_Click();
    });
    connect(OptEng, &QRadioButton::clicked, this, &MainWindow::OptEng_Click);
    connect(OptRus, &QRadioButton::clicked, this, &MainWindow::OptRus_Click);
    connect(cbCr, &QPushButton::clicked, this, &MainWindow::cbCr_Click);
    connect(cbRen, &QPushButton::clicked, this, &MainWindow::cbRen_Click);
    connect(cbDel, &QPushButton::clicked, this, &MainWindow::cbDel_Click);
    connect(cbCrFile, &QPushButton::clicked, this, &MainWindow::cbCrFile_Click);
    connect(cbRenFile, &QPushButton::clicked, this, &MainWindow::cbRenFile_Click);
    connect(cbDelFile, &QPushButton::clicked, this, &MainWindow::cbDelFile_Click);
    connect(cbDelAll, &QPushButton::clicked, this, &MainWindow::cbDelAll_Click);
    connect(cbRenAll, &QPushButton::clicked, this, &MainWindow::cbRenAll_Click);
}

// Start-up: the tree opens at the current folder of the drive list's drive; the Folder page shows.
void MainWindow::Form_Load()
{
    DirFolder->setPath(DirDrive->Drive());
    FrameFolder->setVisible(true);
    FrameFile->setVisible(false);
    FrameAllFiles->setVisible(false);
}

void MainWindow::DirDrive_Change() { DirFolder->setPath(DirDrive->Drive()); }

// The tree has just read the folder: its files are handed on, not read a second time.
void MainWindow::DirFolder_Change()
{
    DirFiles->setPath(DirFolder->Path(), DirFolder->TakeFilesRead(DirFolder->Path()));
}

bool MainWindow::TabSelected(int tab) const { return TabStrip1->currentIndex() == tab - 1; }

void MainWindow::TabStrip1_Click()
{
    // The page frames that each selected tab shows: Folder, File, All Files.
    static constexpr bool shown[3][3] = {{true, false, false}, {false, true, false},
                                         {false, false, true}};
    for (int tab = 1; tab <= 3; ++tab) {
        if (TabSelected(tab)) {
            FrameFolder->setVisible(shown[tab - 1][0]);
            FrameFile->setVisible(shown[tab - 1][1]);
            FrameAllFiles->setVisible(shown[tab - 1][2]);
        }
    }
}

void MainWindow::OptEng_Click() { ApplyCaptions(*this, englishCaptions); }

void MainWindow::OptRus_Click() { ApplyCaptions(*this, russianCaptions); }

void MainWindow::cbCr_Click() { RunCommand(&commands::CommandFrame::cbCr_Click); }
void MainWindow::cbRen_Click() { RunCommand(&commands::CommandFrame::cbRen_Click); }
void MainWindow::cbDel_Click() { RunCommand(&commands::CommandFrame::cbDel_Click); }
void MainWindow::cbCrFile_Click() { RunCommand(&commands::CommandFrame::cbCrFile_Click); }
void MainWindow::cbRenFile_Click() { RunCommand(&commands::CommandFrame::cbRenFile_Click); }
void MainWindow::cbDelFile_Click() { RunCommand(&commands::CommandFrame::cbDelFile_Click); }
void MainWindow::cbDelAll_Click() { RunCommand(&commands::CommandFrame::cbDelAll_Click); }
void MainWindow::cbRenAll_Click() { RunCommand(&commands::CommandFrame::cbRenAll_Click); }

void MainWindow::RunCommand(void (commands::CommandFrame::*procedure)())
{
    RunEvent([this, procedure] { (frame_.*procedure)(); });
}

// Runs one event procedure under a busy cursor. A failure that leaves it shows one short
// warning, and the window stays open.
void MainWindow::RunEvent(const std::function<void()>& procedure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        procedure();
    } catch (const std::exception& failure) {
        QApplication::restoreOverrideCursor();
        Warn(failure);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void MainWindow::Warn(const std::exception& failure)
{
    const bool russian = RussianShown();
    QString text;
    if (dynamic_cast<const commands::NoFileSelected*>(&failure)) {
        text = russian ? QStringLiteral("Файл не выбран.") : QStringLiteral("No file is selected.");
    } else if (const auto* fsError = dynamic_cast<const commands::FsError*>(&failure)) {
        const QString path = DisplayName(fsError->path());
        const QString reason = ErrorText(fsError->code());
        text = (russian ? QStringLiteral("Не удаётся открыть «%1»: %2.")
                        : QStringLiteral("Cannot use \"%1\": %2."))
                   .arg(path, reason);
    } else {
        text = QString::fromLocal8Bit(failure.what());
    }
    QMessageBox::warning(this, windowTitle(), text);
}

bool MainWindow::RussianShown() const { return OptRus->isChecked(); }

const std::filesystem::path& MainWindow::DirFolderPath() const { return DirFolder->Path(); }

void MainWindow::DirFolderRefresh() { DirFolder->Refresh(); }

const std::filesystem::path& MainWindow::DirFilesPath() const { return DirFiles->Path(); }

std::filesystem::path MainWindow::DirFilesFileName() const { return DirFiles->FileName(); }

void MainWindow::DirFilesRefresh() { DirFiles->Refresh(); }

std::string MainWindow::txtNameText() const { return txtName->text().toStdString(); }

bool MainWindow::OptDelValue() const { return OptDel->isChecked(); }

} // namespace app
