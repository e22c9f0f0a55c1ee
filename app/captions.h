#pragma once

#include <array>

class QWidget;

namespace app {

// Every text that the window and its Trash question show, in English and in Russian.

enum class Language { English, Russian };

// One caption of the window: the control, by name; for the tab strip the tab's number (from 1),
// else 0; and its text in each language, UTF-8. A language switch writes the rows that have a
// Russian text, in this order; the others read the same in both languages and are written
// once, at start.
struct Caption {
    const char* control;
    int tab;
    const char* english;
    const char* russian;
};
extern const std::array<Caption, 18> captions;

// Writes the language's captions to the window's controls, row by row, and fits them.
void ApplyCaptions(QWidget& window, Language language);
// Writes every caption as the window starts, in English, and fits them.
void ApplyStartCaptions(QWidget& window);
// The caption that a control (the tab strip: a tab) shows at start; null for none.
const char* StartCaption(const char* control, int tab = 0);

// The window's warnings in one language, UTF-8; %1, %2 and %3 stand for names and reasons.
struct WarningTexts {
    const char* noFileSelected;
    const char* cannotUse;         // %1 the path, %2 the system's reason
    const char* folderReplaced;    // %1 the folder's path
    const char* folderReplacedAfter;  // the same, when %2 files had been deleted or moved before
    const char* folderReplacedAfterRenames;  // the same, when %2 files had been renamed before
    const char* startElsewhere;    // %1 the system's reason, %2 the folder shown instead
    const char* cannotUseStart;    // %1 the start folder, %2 the reason, %3 the folder shown
    const char* unexpected;        // %1 what failed
    const char* notToRecycleBin;   // %1 the file's path: a name that the shell would change
    const char* notToRecycleBinPattern;  // the same for a name that holds ? or *
    const char* notToRecycleBinLink;     // the same for a link not shown as one
    const char* notOneName;        // %1 a listed name that would name another entry as a path
    const char* deviceName;        // %1 a new name that Windows keeps for a device
    // %1 the folder, %2 files changed before, %3 files that the shell may have moved from the
    // folder that took its place
    const char* folderReplacedDuringShell;
    // An undo or redo that left entries as they are: %1 the entry, %2 the entry in its way, %3
    // how many entries were left.
    const char* undoNotTheSame;
    const char* undoNameTaken;
    const char* undoNotEmpty;
    const char* undoTrashEntryGone;
    const char* undoFolderMoved;  // %1 the folder
    const char* undoNotOnThisSystem;
    const char* undoDeletedOutright;  // %1 the command's caption
};
extern const WarningTexts englishWarnings;
extern const WarningTexts russianWarnings;

// The Trash stand-in's question and failure in one language, UTF-8.
struct TrashTexts {
    const char* questionTitle;
    const char* question;  // %1 the file's name
    const char* yes;
    const char* no;
    const char* failureTitle;
    const char* failure;   // %1 the file's path, %2 the reason
    const char* stop;      // the answer that stops Delete All
    const char* replaced;  // %1 the file's path: another file took its place
    const char* folderMoved;  // %1 the file's path: its folder moved or was replaced
};
extern const TrashTexts englishTrashTexts;
extern const TrashTexts russianTrashTexts;

// The progress dialog of a long command in one language, UTF-8.
struct ProgressTexts {
    const char* deletingFiles;
    const char* renamingFiles;
    const char* deletingFolder;
    const char* restoringFiles;
    const char* filesDone;     // %1 files done, %2 of how many
    const char* itemsDeleted;  // %1 items deleted so far
    const char* cancel;
    const char* bar;  // what a screen reader calls the progress bar
};
extern const ProgressTexts englishProgressTexts;
extern const ProgressTexts russianProgressTexts;

// What a screen reader calls the controls that show no caption of their own, in one
// language, UTF-8.
struct AccessibleTexts {
    const char* drive;
    const char* folders;
    const char* files;
    const char* level;  // %1 how deep a folder of the tree lies, from 1
    // What each of the two Delete buttons deletes, said beside its caption.
    const char* deleteFolder;
    const char* deleteFile;
};
extern const AccessibleTexts englishAccessibleTexts;
extern const AccessibleTexts russianAccessibleTexts;

} // namespace app
