#pragma once

#include <array>

class QWidget;

namespace app {

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

} // namespace app
