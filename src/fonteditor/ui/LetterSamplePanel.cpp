#include "fonteditor/ui/LetterSamplePanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "font/FontStorage.h"
#include "fonteditor/LetterSample.h"
#include "lib/Dialogs.h"
#include "lib/VezorError.h"
#include "lib/ui/QtText.h"
#include "main/Session.h"
#include "main/paint/PreviewPainter.h"

namespace {
class SampleView final : public QWidget {
  public:
    SampleView(std::function<QImage(QSize)> render, std::function<QString()> note, QWidget* parent)
        : QWidget(parent), render_(std::move(render)), note_(std::move(note)) {
        setMinimumHeight(70);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return {400, 80}; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, render_(size()));
        painter.setPen(QColor(160, 0, 0));
        painter.drawText(rect().adjusted(6, 2, -6, -2), Qt::AlignRight | Qt::AlignBottom, note_());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

  private:
    std::function<QImage(QSize)> render_;
    std::function<QString()> note_;
};
}  // namespace

LetterSamplePanel::LetterSamplePanel(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName("LetterSamplePanel");
    chkPoints = new QCheckBox(QStringLiteral("Показывать точки"), this);
    chkPoints->setObjectName("chkPoints");
    chkPoints->setChecked(true);
    connect(chkPoints, &QCheckBox::toggled, this, &LetterSamplePanel::showPointsToggled);
    chkJoinLetters = new QCheckBox(QStringLiteral("Буквы слова соединяются"), this);
    chkJoinLetters->setObjectName("chkJoinLetters");
    chkJoinLetters->setToolTip(
        QStringLiteral("Перо идёт от конца буквы к началу следующей, не поднимаясь. Только для "
                       "шрифта, буквы которого для этого нарисованы: иначе соединение читается "
                       "как черта буквы"));
    chkJoinLetters->setChecked(FontLettersJoin(session_.CurrentFont()));
    connect(chkJoinLetters, &QCheckBox::clicked, this,
            [this](bool join) { chkJoinLetters_Click(join); });

    txtSample = new QLineEdit(this);
    txtSample->setObjectName("txtSample");
    txtSample->setToolTip(
        QStringLiteral("Текст образца: буква, как она нарисована сейчас, среди других"));
    connect(txtSample, &QLineEdit::textEdited, this, [this](const QString& text) {
        ownText_ = !text.isEmpty();
        if (!ownText_) txtSample->setText(toQ(lettersample::defaultText(code_)));
        laidOut_.reset();
        picSample->update();
    });

    picSample = new SampleView([this](QSize size) { return render(size); },
                               [this] { return missing_; }, this);
    picSample->setObjectName("picSample");

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(chkPoints);
    row->addSpacing(12);
    row->addWidget(chkJoinLetters);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Образец:"), this));
    row->addWidget(txtSample, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    column->addWidget(picSample);
    txtSample->setText(toQ(lettersample::defaultText(std::nullopt)));
}

void LetterSamplePanel::setLetter(std::optional<int> code, const std::vector<std::string>& lines) {
    if (code != code_ && !ownText_) txtSample->setText(toQ(lettersample::defaultText(code)));
    code_ = code;
    lines_ = lines;
    laidOut_.reset();
    picSample->update();
}

void LetterSamplePanel::setShowPoints(bool show) {
    const QSignalBlocker quiet(chkPoints);
    chkPoints->setChecked(show);
}

void LetterSamplePanel::chkJoinLetters_Click(bool join) {
    try {
        WriteFontLettersJoin(session_.CurrentFont(), join);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), "", Dialogs::Icon::Error);
    }
    laidOut_.reset();
    picSample->update();
}

const LayoutResult& LetterSamplePanel::sample() {
    if (laidOut_) return *laidOut_;
    {
        // The font may have changed (an import), or its record failed to be written.
        const QSignalBlocker quiet(chkJoinLetters);
        chkJoinLetters->setChecked(FontLettersJoin(session_.CurrentFont()));
    }
    laidOut_ = lettersample::layOut(fromQ(txtSample->text()), session_.CurrentFont(),
                                    session_.machiningSettings(), code_, lines_);
    // Each missing letter once, in the order of the text.
    std::string missing;
    for (unsigned char code : laidOut_->missingLetters)
        if (missing.find(static_cast<char>(code)) == std::string::npos)
            missing += static_cast<char>(code);
    missing_ = missing.empty() ? QString() : QStringLiteral("Нет в шрифте: ") + toQ(missing);
    return *laidOut_;
}

QImage LetterSamplePanel::render(QSize size) {
    const PenPoints& points = *sample().points;
    if (const auto view = lettersample::fit(points, size.width(), size.height()))
        return paintPathFromFirstPoint(size, points, *view);
    QImage blank(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    blank.fill(Qt::white);
    return blank;
}
