#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "main/Layout.h"

class QCheckBox;
class Session;
class QLineEdit;

// The strip under the font editor's drawing: the switch for the point marks,
// the font's switch for joined letters, and a sample line in the font, laid
// out as a project line is, with the letter as it stands on the surface. The
// sample is laid out when it is next painted, so a run of edits costs one layout.
class LetterSamplePanel final : public QWidget {
    Q_OBJECT
  public:
    // The sample is in the session's current font, laid out with its settings.
    explicit LetterSamplePanel(Session& session, QWidget* parent = nullptr);

    // The letter on the surface: its code (none while a font has no letter
    // chosen) and its lines, saved or not.
    void setLetter(std::optional<int> code, const std::vector<std::string>& lines);
    // Sets the switch without telling anyone.
    void setShowPoints(bool show);
    // The sample as it is drawn now.
    const LayoutResult& sample();
    // The sample line as it would be painted at the given size.
    QImage render(QSize size);

    QCheckBox* chkPoints = nullptr;
    // Whether the pen runs on from letter to letter in a word: the font's own
    // record, written as soon as it is switched.
    QCheckBox* chkJoinLetters = nullptr;
    QLineEdit* txtSample = nullptr;
    QWidget* picSample = nullptr;
    // The letters of the text the font does not have yet, as the sample says them.
    QString missingText() const { return missing_; }

  signals:
    void showPointsToggled(bool show);

  private:
    void chkJoinLetters_Click(bool join);

    Session& session_;
    std::optional<int> code_;
    std::vector<std::string> lines_;
    // The text is the user's own once typed; until then it follows the letter.
    bool ownText_ = false;
    std::optional<LayoutResult> laidOut_;
    QString missing_;
};
