// The window's controls: made from the layout table, and their events joined to the event
// procedures.
#include "mainwindow.h"

#include "caption_button.h"
#include "command_button.h"
#include "caption_option.h"
#include "captions.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "folder_watch.h"
#include "layout.h"
#include "one_line_validator.h"
#include "tab_strip.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QShortcut>
#include <QtWidgets/QAccessibleWidget>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <limits>
#include <optional>
#include <type_traits>

namespace app {

namespace {

// Qt gives a window that is a plain widget the role of a client area; a screen reader wants
// the frame that its controls are in.
QAccessibleInterface* WindowFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String(MainWindow::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

// Makes one control of the layout table, empty; its caption comes with the language.
QWidget* MainWindow::MakeControl(const ControlLayout& row, QWidget* container,
                                 const std::filesystem::path& startFolder)
{
    switch (row.kind) {
    case ControlKind::DriveList:
        return new DriveList(startFolder, container);
    case ControlKind::FolderTree:
        return new FolderTree(container);
    case ControlKind::FileList:
        return new FileList(container);
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(container);
        box->setMaxLength(std::numeric_limits<int>::max());
        box->setValidator(new OneLineValidator(box));
        return box;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(container);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case ControlKind::Frame:
        return new QGroupBox(container);
    case ControlKind::Option:
        return new CaptionOption(container);
    case ControlKind::Button:
        return new CaptionButton(QString(), container);
    case ControlKind::Tabs: {
        auto* tabs = new TabStrip(container);
        tabs->setExpanding(false);
        tabs->setUsesScrollButtons(false);
        tabs->setElideMode(Qt::ElideNone);
        tabs->setDrawBase(false);
        for (int tab = 0; tab < 3; ++tab)
            tabs->addTab(QString());
        return tabs;
    }
    }
    return nullptr;
}

// The controls of the layout table, in its order: a later control lies over an earlier one.
void MainWindow::CreateControls(const std::filesystem::path& startFolder)
{
    // Before anything asks for the window's accessible interface, which Qt then keeps.
    static const bool accessible = (QAccessible::installFactory(WindowFactory), true);
    Q_UNUSED(accessible);
    // Opens at its designed size, and can grow from there but not shrink.
    setMinimumSize(DesignedSize(*this));
    resize(minimumSize());
    for (const ControlLayout& row : windowLayout) {
        QWidget* container =
            row.container ? findChild<QWidget*>(QLatin1String(row.container)) : this;
        QWidget* control = MakeControl(row, container, startFolder);
        control->setObjectName(QLatin1String(row.name));
        control->setGeometry(TwipsToPixels(row, logicalDpiX(), logicalDpiY()));
        if (row.font != ControlFont::Default)
            control->setFont(LayoutFont(row.font, font()));
    }
    const auto find = [this](auto*& member, const char* name) {
        member = findChild<std::remove_reference_t<decltype(*member)>*>(QLatin1String(name));
    };
    find(DirDrive, "DirDrive");
    find(DirFolder, "DirFolder");
    find(DirFiles, "DirFiles");
    find(txtName, "txtName");
    find(Label1, "Label1");
    find(OptEng, "OptEng");
    find(OptRus, "OptRus");
    find(FrameFolder, "FrameFolder");
    find(FrameFile, "FrameFile");
    find(FrameAllFiles, "FrameAllFiles");
    find(TabStrip1, "TabStrip1");
    find(OptDelRec, "OptDelRec");
    find(OptDel, "OptDel");
    Label1->lower();  // under every other control
    OptEng->setChecked(true);
    OptDelRec->setChecked(true);
    FrameFile->hide();
    FrameAllFiles->hide();

    Label1->setBuddy(txtName);  // a screen reader names the box by it
    ApplyStartCaptions(*this);
    NameControls(englishAccessibleTexts);

    // Keyboard order, the table's; the label and the frames take no focus, and of each option
    // group Tab reaches the selected option only (Qt's way with exclusive option buttons).
    QWidget* previous = nullptr;
    for (const ControlLayout& row : windowLayout) {
        auto* control = findChild<QWidget*>(QLatin1String(row.name));
        if (row.kind == ControlKind::Label || row.kind == ControlKind::Frame)
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    PlaceControls(*this);
    QWidget::resizeEvent(event);
}

// The names that a screen reader gives the controls with no caption of their own; the page
// frames take their tab's caption. The two Delete buttons, whose captions are the same, say
// what each deletes.
void MainWindow::NameControls(const AccessibleTexts& texts)
{
    findChild<QPushButton*>(QStringLiteral("cbDel"))
        ->setAccessibleDescription(QString::fromUtf8(texts.deleteFolder));
    findChild<QPushButton*>(QStringLiteral("cbDelFile"))
        ->setAccessibleDescription(QString::fromUtf8(texts.deleteFile));
    DirDrive->setAccessibleName(QString::fromUtf8(texts.drive));
    DirFolder->setAccessibleName(QString::fromUtf8(texts.folders));
    DirFolder->SetLevelText(QString::fromUtf8(texts.level));
    DirFiles->setAccessibleName(QString::fromUtf8(texts.files));
    QGroupBox* const pages[] = {FrameFolder, FrameFile, FrameAllFiles};
    for (int tab = 0; tab < 3; ++tab)
        pages[tab]->setAccessibleName(TabStrip1->tabText(tab));
}

// Ctrl+Tab and Ctrl+Shift+Tab anywhere in the window select the next and the previous page,
// as the arrow keys do on the tab strip.
void MainWindow::ConnectPageKeys()
{
    const auto step = [this](int by) {
        const int count = TabStrip1->count();
        TabStrip1->setCurrentIndex((TabStrip1->currentIndex() + by + count) % count);
    };
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(next, &QShortcut::activated, this, [step] { step(1); });
    auto* previous = new QShortcut(this);
    previous->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
    connect(previous, &QShortcut::activated, this, [step] { step(-1); });
}

// Ctrl+Z takes back the latest command, and Ctrl+Shift+Z (or Ctrl+Y) does the latest undone one
// again, wherever the focus is; but typing in the name box after the last command gives the box
// its own Ctrl+Z, for its text, until the next command.
void MainWindow::ConnectUndoKeys()
{
    auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this,
            [this] { RunCommand(&commands::CommandFrame::Undo); });
    auto* redo = new QShortcut(this);
    redo->setKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                   QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(redo, &QShortcut::activated, this,
            [this] { RunCommand(&commands::CommandFrame::Redo); });
    connect(txtName, &QLineEdit::textEdited, this, [this] { typedSinceCommand_ = true; });
    txtName->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtName && event->type() == QEvent::ShortcutOverride && !typedSinceCommand_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination pressed = key->keyCombination();
        if (pressed == (Qt::CTRL | Qt::Key_Z) || pressed == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) ||
            pressed == (Qt::CTRL | Qt::Key_Y)) {
            event->ignore();  // not the box's: the window's keys take it
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::ConnectEvents()
{
    ConnectPageKeys();
    ConnectUndoKeys();
    // The window links the lists: a drive's mount path written to the tree opens the drive's
    // current folder, and the drive list shows the drive of each folder opened.
    DirFolder->SetDriveFolder(
        [this](const std::filesystem::path& folder) -> std::optional<std::filesystem::path> {
            if (!DirDrive->IsDrive(folder))
                return std::nullopt;
            return DirDrive->CurrentFolder(folder);
        });
    connect(DirFolder, &FolderTree::Opened, DirDrive, &DriveList::FolderOpened);
    connect(DirDrive, &DriveList::Change, this, [this] {
        if (!runner_->Running())  // no other event procedure runs inside a command
            runner_->RunEvent([this] { DirDrive_Change(); });
        // Also after a failure, the drive list shows the drive that the tree is on.
        DirDrive->ShowDriveOf(DirFolder->Path());
    });
    connect(DirFolder, &FolderTree::OpenRequested, this,
            [this](const std::filesystem::path& folder) {
                if (!runner_->Running())
                    runner_->RunEvent([this, &folder] { DirFolder->OpenFolder(folder); });
            });
    connect(DirFolder, &FolderTree::OpenRefused, this, [this](const std::filesystem::path& name) {
        Warn(commands::NameRefused(name, commands::NameRefused::Why::NotOneName));
    });
    // Picking the drive shown opens its root: a way back from any folder, even an unreadable one.
    connect(DirDrive, &DriveList::Repicked, this, &MainWindow::ReopenDrive);
    connect(DirDrive, &DriveList::VolumesChanged, this, [this] {
        DirDrive->ShowDriveOf(DirFolder->Path());
        runner_->FollowDisk();
    });
    connect(DirFolder, &FolderTree::Change, this, &MainWindow::DirFolder_Change);
    connect(DirFolder, &FolderTree::Change, this,
            [this] { runner_->Watch().Watch(DirFolder->Path()); });
    connect(TabStrip1, &QTabBar::currentChanged, this, &MainWindow::TabStrip1_Click);
    // A click on the tab that is already selected changes nothing, but is a click all the same.
    connect(TabStrip1, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == TabStrip1->currentIndex())
            TabStrip1_Click();
    });
    // Selected by mouse, keyboard or a screen reader's toggle, which clicks nothing.
    connect(OptEng, &QRadioButton::toggled, this, [this](bool on) { if (on) OptEng_Click(); });
    connect(OptRus, &QRadioButton::toggled, this, [this](bool on) { if (on) OptRus_Click(); });
    // Each command button's click runs its procedure of the core, as one command.
    for (const commands::CommandButton& button : commands::commandButtons)
        connect(findChild<QPushButton*>(QLatin1String(button.control)), &QPushButton::clicked, this,
                [this, procedure = button.procedure] { RunCommand(procedure); });
}

} // namespace app
