// The machining figures in the status bar. They are worked out on a thread of
// their own from a list no one changes any more (a new layout or file read
// replaces the list as a whole), asked for once the list and the preview are
// shown, so a large program keeps neither waiting.
#include <QLabel>
#include <QThreadPool>
#include <exception>

#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeProfile.h"
#include "gcode/InterpretedEstimate.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"
#include "lib/ui/QtText.h"
#include "main/FiguresText.h"
#include "main/Session.h"
#include "main/ui/frmGCode.h"

void frmGCode::estimateLaidOut() {
    readFile_.clear();
    readCutRule_.reset();
    // Unreadable stored profiles are told at the save; here the default stands in.
    GCodeProfile profile = ChosenProfile();
    const std::shared_ptr<const PenPoints> points = session_.penPoints();
    std::string feed = session_.machiningSettings().SkorF;
    const std::string name = profile.name;
    startEstimate(
        [points, feed = std::move(feed), profile = std::move(profile)] {
            return EstimateProgram(*points, feed, profile);
        },
        name);
}

void frmGCode::estimateFile(const std::string& path) {
    readFile_ = path;
    const GCodeProfile profile = ChosenProfile();
    if (readCutRule_)
        startEstimate(
            [path, limits = LimitsOf(profile), rule = *readCutRule_] {
                return EstimateInterpretedFile(path, limits, rule);
            },
            profile.name);
    else
        startEstimate(
            [path, limits = LimitsOf(profile)] { return EstimateGCodeFile(path, limits); },
            profile.name);
}

void frmGCode::startEstimate(std::function<MachiningFigures()> job,
                             const std::string& profileName) {
    if (!estimates_) {
        estimates_ = std::make_unique<QThreadPool>();
        estimates_->setMaxThreadCount(1);
    }
    const std::uint64_t generation = ++estimateGeneration_;
    const char separator = numtext::decimalSeparator();
    const QString tip = QStringLiteral("Оценка для станка профиля «%1»").arg(toQ(profileName));
    pendingEstimate_ = [this, job = std::move(job), generation, separator, tip] {
        estimates_->start([this, job, generation, separator, tip] {
            QString text;
            try {
                text = toQ(FiguresStatusText(job(), separator));
            } catch (const std::exception&) {
                // Nothing to write, a file gone meanwhile: no figures to show.
            }
            QMetaObject::invokeMethod(
                this, [this, generation, text, tip] { showEstimate(generation, text, tip); },
                Qt::QueuedConnection);
        });
    };
    if (!estimating_) runPendingEstimate();
}

void frmGCode::runPendingEstimate() {
    if (!pendingEstimate_) return;
    const std::function<void()> start = std::move(pendingEstimate_);
    pendingEstimate_ = nullptr;
    estimating_ = true;
    start();
}

void frmGCode::showEstimate(std::uint64_t generation, const QString& text, const QString& tip) {
    estimating_ = false;
    if (generation == estimateGeneration_) {
        lblEstimate->setText(text);
        lblEstimate->setToolTip(text.isEmpty() ? QString() : tip);
    }
    runPendingEstimate();
}
