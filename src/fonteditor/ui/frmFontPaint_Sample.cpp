// The font editor's sample line and point-mark switch, and opening a letter from outside.
#include <QBoxLayout>
#include <QComboBox>

#include "fonteditor/ui/LetterSamplePanel.h"
#include "fonteditor/ui/LetterSurface.h"
#include "fonteditor/ui/frmFontPaint.h"

namespace {
// Beyond this many points the marks and numbers hide the letter they mark.
constexpr std::size_t kMostPointsMarked = 300;
}  // namespace

void frmFontPaint::buildSample() {
    sample = new LetterSamplePanel(session_, this);
    connect(sample, &LetterSamplePanel::showPointsToggled, picMask, &LetterSurface::setShowPoints);
    if (auto* outer = qobject_cast<QBoxLayout*>(layout())) outer->addWidget(sample);
}

void frmFontPaint::updateSample() {
    if (!sample) return;
    const int entry = cboLiter->currentIndex();
    sample->setLetter(
        entry >= 0 ? std::optional<int>(cboLiter->itemData(entry).toInt()) : std::nullopt,
        letter_.points);
}

void frmFontPaint::resetPointMarks() {
    const bool show = letter_.points.size() <= kMostPointsMarked;
    picMask->setShowPoints(show);
    if (sample) sample->setShowPoints(show);
}

bool frmFontPaint::openLetter(int code) {
    const int entry = cboLiter->findData(code);
    if (entry < 0) return false;
    // The list's own handler asks about unsaved edits and may keep the letter.
    cboLiter->setCurrentIndex(entry);
    return cboLiter->currentIndex() == entry;
}
