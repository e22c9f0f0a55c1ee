#include "mainwindow.h"

#include "caption_button.h"
#include "captions.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "folder_watch.h"
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
#include <vector>

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
    int workingError = 0;
    const std::filesystem::path working = WorkingFolder(workingError);
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
    const std::filesystem::path home = HomeFolder();
    CreateControls(!working.empty() ? working : !home.empty() ? home : std::filesystem::path("/"));
    watch_ = new FolderWatch(this);
    ConnectEvents();
    DirDrive->setFocus();
    StartUp(working, workingError);
}

MainWindow::~MainWindow() = default;

// Form_Load; where its folder cannot be used, the nearest folder that can, with one warning.
void MainWindow::StartUp(const std::filesystem::path& working, int workingError)
{
    QString problem;
    std::filesystem::path failed;
    try {
        Form_Load();
    } catch (const commands::FsError& failure) {
        failed = failure.path();
        problem = ErrorText(failure.code());
        OpenNearestReadable(failed);
    } catch (const std::exception& failure) {
        Warn(failure);
        return;
    }
    const QString shown = ShownName(DirFolder->Path());
    QString warning;
    if (working.empty())
        warning = QString::fromUtf8(Warnings().startElsewhere).arg(ErrorText(workingError), shown);
    else if (!failed.empty())
        warning = QString::fromUtf8(Warnings().cannotUseStart).arg(ShownName(failed), problem, shown);
    // Said over the window, once it is shown.
    if (!warning.isEmpty())
        QMetaObject::invokeMethod(this, [this, warning] { ShowWarning(warning); },
                                  Qt::QueuedConnection);
}

// Opens the folder's nearest ancestor that can be read, else the home folder, else the root.
std::filesystem::path MainWindow::OpenNearestReadable(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> candidates;
    for (std::filesystem::path up = folder.parent_path(); !up.empty(); up = up.parent_path()) {
        candidates.push_back(up);
        if (up == up.parent_path())
            break;
    }
    candidates.push_back(HomeFolder());
    for (const std::filesystem::path& candidate : candidates) {
        try {
            DirFolder->OpenFolder(candidate);
            return candidate;
        } catch (const commands::FsError&) {
        }
    }
    return {};
}

// Twips to pixels at the window's logical resolution.
QRect MainWindow::Pixels(int left, int top, int width, int height) const
{
    const auto x = [this](int twips) { return qRound(twips * logicalDpiX() / 1440.0); };
    const auto y = [this](int twips) { return qRound(twips * logicalDpiY() / 1440.0); };
    return QRect(x(left), y(top), x(width), y(height));
}

void MainWindow::CreateControls(const std::filesystem::path& startFolder)
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
    DirDrive = place(new DriveList(startFolder, this), "DirDrive", 120, 480, 2652, 288);
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
    // Picking the drive shown opens its root: a way back from any folder, even an unreadable one.
    connect(DirDrive, &DriveList::Repicked, this, &MainWindow::ReopenDrive);
    connect(DirDrive, &DriveList::VolumesChanged, this, [this] {
        DirDrive->ShowDriveOf(DirFolder->Path());
        FollowDisk();
    });
    connect(DirFolder, &FolderTree::Change, this, &MainWindow::DirFolder_Change);
    connect(DirFolder, &FolderTree::Change, this, [this] { watch_->Watch(DirFolder->Path()); });
    connect(watch_, &FolderWatch::Changed, this, &MainWindow::FollowDisk);
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

void MainWindow::ReopenDrive()
{
    RunEvent([this] {
        DirFolder->OpenFolder(DirDrive->Drive());
        DirFiles->Refresh();
    });
    DirDrive->ShowDriveOf(DirFolder->Path());
}

// Changes on disk that another program made: the lists are read again once the event loop
// has taken in every change that is waiting.
void MainWindow::FollowDisk()
{
    if (followPending_)
        return;
    followPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            followPending_ = false;
            RunEvent([this] { ReadListsAgain(); });
        },
        Qt::QueuedConnection);
}

// Reads both lists again from the open folder's path; the folder now there is the open one.
void MainWindow::ReadListsAgain()
{
    DirFolder->Refresh();
    DirFiles->Refresh();
    watch_->Watch(DirFolder->Path());
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

// A command's own changes are not news to the lists: it refreshes them itself.
void MainWindow::RunCommand(void (commands::CommandFrame::*procedure)())
{
    watch_->Pause();
    RunEvent([this, procedure] { frame_.Run(procedure); });
    watch_->Resume();
}

// Runs one event procedure under a busy cursor. A failure that leaves it shows one short
// warning, and the window stays open. Where the folder shown was replaced, the lists first
// show what is there now.
void MainWindow::RunEvent(const std::function<void()>& procedure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        procedure();
        QApplication::restoreOverrideCursor();
    } catch (const commands::FolderReplaced& failure) {
        QApplication::restoreOverrideCursor();
        ReadListsAgain();
        Warn(failure);
    } catch (const std::exception& failure) {
        QApplication::restoreOverrideCursor();
        Warn(failure);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        ShowUncaughtFailure(QStringLiteral("?"));
    }
}

const WarningTexts& MainWindow::Warnings() const
{
    return RussianShown() ? russianWarnings : englishWarnings;
}

void MainWindow::Warn(const std::exception& failure)
{
    const WarningTexts& texts = Warnings();
    if (dynamic_cast<const commands::NoFileSelected*>(&failure)) {
        ShowWarning(QString::fromUtf8(texts.noFileSelected));
    } else if (const auto* replaced = dynamic_cast<const commands::FolderReplaced*>(&failure)) {
        ShowWarning(QString::fromUtf8(texts.folderReplaced).arg(ShownName(replaced->path())),
                    DisplayName(replaced->path()));
    } else if (const auto* fsError = dynamic_cast<const commands::FsError*>(&failure)) {
        ShowWarning(QString::fromUtf8(texts.cannotUse)
                        .arg(ShownName(fsError->path()), ErrorText(fsError->code())),
                    DisplayName(fsError->path()));
    } else {
        ShowUncaughtFailure(QString::fromLocal8Bit(failure.what()));
    }
}

void MainWindow::ShowUncaughtFailure(const QString& what)
{
    // A failure that comes back at every repaint or click is shown the first time only.
    if (uncaughtShown_.contains(what))
        return;
    uncaughtShown_.append(what);
    ShowWarning(QString::fromUtf8(Warnings().unexpected).arg(ShownText(what)));
}

// A warning box in plain text, whatever names it holds. A very long text is cut in its middle
// to keep the box on the screen; the whole of it is one click away, under "Show Details".
void MainWindow::ShowWarning(const QString& text, const QString& whole)
{
    constexpr int longest = 600;
    QString shown = text;
    if (shown.size() > longest)
        shown = shown.left(longest / 2) + QChar(0x2026) + shown.right(longest / 2);
    QMessageBox box(QMessageBox::Warning, windowTitle(), shown, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("Warning"));
    box.setTextFormat(Qt::PlainText);
    if (shown != text)
        box.setDetailedText(ShownText(whole.isEmpty() ? text : whole));
    box.exec();
}

bool MainWindow::RussianShown() const { return OptRus->isChecked(); }

const std::filesystem::path& MainWindow::DirFolderPath() const { return DirFolder->Path(); }

commands::FolderIdentity MainWindow::DirFolderIdentity() const { return DirFolder->Identity(); }

void MainWindow::DirFolderRefresh() { DirFolder->Refresh(); }

const std::filesystem::path& MainWindow::DirFilesPath() const { return DirFiles->Path(); }

std::filesystem::path MainWindow::DirFilesFileName() const { return DirFiles->FileName(); }

void MainWindow::DirFilesRefresh() { DirFiles->Refresh(); }

std::string MainWindow::txtNameText() const { return txtName->text().toStdString(); }

bool MainWindow::OptDelValue() const { return OptDel->isChecked(); }

} // namespace app
