#pragma once

#include <array>

class QWidget;

namespace app {

// Every text that the window and its Trash question show, in English and in Russian.

// One caption write: the control, by name, and for the tab strip the tab's number (from 1).
struct CaptionStep {
    const char* control;
    int tab;
};

using CaptionSet = std::array<const char*, 15>;

// The fifteen caption writes, in the order in which a language is applied.
extern const std::array<CaptionStep, 15> captionSteps;
// The captions of each language, UTF-8, one per step.
extern const CaptionSet englishCaptions;
extern const CaptionSet russianCaptions;

// Writes a caption set to the window's controls, step by step.
void ApplyCaptions(QWidget& window, const CaptionSet& captions);

// The window's warnings in one language, UTF-8; %1, %2 and %3 stand for names and reasons.
struct WarningTexts {
    const char* noFileSelected;
    const char* cannotUse;         // %1 the path, %2 the system's reason
    const char* folderReplaced;    // %1 the folder's path
    const char* folderReplacedAfter;  // the same, when %2 files had been deleted or moved before
    const char* startElsewhere;    // %1 the system's reason, %2 the folder shown instead
    const char* cannotUseStart;    // %1 the start folder, %2 the reason, %3 the folder shown
    const char* unexpected;        // %1 what failed
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
};
extern const TrashTexts englishTrashTexts;
extern const TrashTexts russianTrashTexts;

// The progress dialog of a long command in one language, UTF-8.
struct ProgressTexts {
    const char* deletingFiles;
    const char* renamingFiles;
    const char* deletingFolder;
    const char* filesDone;     // %1 files done, %2 of how many
    const char* itemsDeleted;  // %1 items deleted so far
    const char* cancel;
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
};
extern const AccessibleTexts englishAccessibleTexts;
extern const AccessibleTexts russianAccessibleTexts;

} // namespace app
