#include "app/cli/RunCommand.h"

#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "catalogue/RowKey.h"

#include <QTextStream>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cli {

OptionReader::OptionReader(const QStringList& arguments, const QStringList& valueOptions,
                           const QStringList& flags) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (m_values.contains(argument))
            throw UsageError{u"The option %1 is given twice."_s.arg(argument)};
        if (flags.contains(argument)) {
            m_values.insert(argument, u"1"_s);
        } else if (valueOptions.contains(argument)) {
            if (i + 1 >= arguments.size())
                throw UsageError{u"The option %1 needs a value."_s.arg(argument)};
            m_values.insert(argument, arguments[++i]);
        } else {
            throw UsageError{u"Unknown option \"%1\"."_s.arg(argument)};
        }
    }
}

int OptionReader::number(const QString& name, int low, int high, int fallback) const {
    if (!isSet(name))
        return fallback;
    bool ok = false;
    const int value = m_values.value(name).trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        throw UsageError{
            u"Use %1 with a whole number from %2 to %3."_s.arg(name).arg(low).arg(high)};
    return value;
}

QList<int> OptionReader::numbers(const QString& name, int low, int high) const {
    QList<int> result;
    for (const QString& part : m_values.value(name).split(u',')) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || value < low || value > high)
            throw UsageError{
                u"Use %1 with a comma-separated list of whole numbers from %2 to %3."_s.arg(name)
                    .arg(low)
                    .arg(high)};
        result.append(value);
    }
    return result;
}

// A message box without a screen: the program's information (the closing
// message) is kept for standard output; warnings and errors go to standard
// error at once and are answered OK, so that a run goes on as a user
// pressing OK would let it.
class CliRun::Messages : public support::MessageBoxes {
public:
    QStringList information;
    int show(const QString& text, const QString&, int, int icon) override {
        if (icon == support::MbInformation)
            information.append(text);
        else
            QTextStream(stderr) << text << '\n';
        return support::IdOk;
    }
    int showWithCheckBox(const QString& text, const QString& title, int buttons, int icon,
                         bool* dontShowAgain) override {
        if (dontShowAgain)
            *dontShowAgain = false;
        return show(text, title, buttons, icon);
    }
};

StderrProgress::StderrProgress() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

void StderrProgress::setActive(bool active) {
    if (!active && m_drawn && m_terminal)
        std::fputs("\n", stderr);
    if (active)
        m_lastPercent = -1;
    m_drawn = m_drawn && active;
    RecordingProgressPanel::setActive(active);
}

void StderrProgress::setValue(int32_t value) {
    RecordingProgressPanel::setValue(value);
    if (!active() || max() <= 0)
        return;
    const int percent = int(qint64(this->value()) * 100 / max());
    const int step = m_terminal ? 1 : 5;
    if (percent / step == m_lastPercent / step && m_lastPercent >= 0)
        return;
    m_lastPercent = percent;
    m_drawn = true;
    if (m_terminal) {
        const int filled = percent * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%% %d/%d", QByteArray(filled, '#').constData(),
                     QByteArray(40 - filled, ' ').constData(), percent, this->value(), max());
    } else {
        std::fprintf(stderr, "progress %d%% (%d of %d)\n", percent, this->value(), max());
    }
    std::fflush(stderr);
}

CliRun::CliRun(CliContext& context, const OptionReader& options)
    : m_context(context), m_messages(std::make_unique<Messages>()),
      m_progress(std::make_unique<StderrProgress>()) {
    const int filter =
        options.number(u"--filter"_s, 0, catalogue::ArtKindsAll, catalogue::ViewFilterDefault);
    std::optional<QList<int>> tracks;
    if (options.isSet(u"--tracks"_s))
        tracks = options.numbers(u"--tracks"_s, 1, std::numeric_limits<int>::max());

    musiclibrary::IiTunes& library = context.library(); // throws: the run cannot start
    m_session.Kinds.Build();
    const musiclibrary::ITunesPtr borrowed(&library, [](musiclibrary::IiTunes*) {});
    m_session.Init([borrowed] { return borrowed; });
    m_session.ViewFilter = filter;

    m_environment = std::make_unique<catalogue::RunEnvironment>(
        catalogue::RunEnvironment{*m_progress, {m_messages.get(), nullptr, nullptr, nullptr}});
    catalogue::ScanEnvironment scan{*m_progress, m_environment->ui};
    catalogue::ScanLibrary(m_session, scan);
    // Only the run's own closing message belongs to the output.
    m_messages->information.clear();

    catalogue::SongListModel& rows = m_session.Eligible.model();
    for (int row = 0; row < rows.rowCount(); ++row) {
        const int32_t index = catalogue::RowCatalogueIndex(rows.key(row));
        const bool checked = !tracks || tracks->contains(index);
        rows.setChecked(row, checked);
        if (checked)
            m_checked.append(index);
    }
    m_runContext = std::make_unique<artwork::ArtworkRunContext>(artwork::ArtworkRunContext{
        m_session, *m_environment, [this](const artwork::RowReport& r) {
            m_reported.insert(r.index);
            m_context.print({QString::number(r.index), r.status, r.path, r.detail});
            m_context.flush();
        }});
}

CliRun::~CliRun() {
    m_session.UnInit();
}

int CliRun::finish() {
    for (int32_t index : m_checked)
        if (!m_reported.contains(index))
            m_context.print({QString::number(index), u"unchanged"_s, QString(),
                             u"the run ended before this song"_s});
    for (const QString& text : m_messages->information)
        m_context.printText(text);
    return 0;
}

} // namespace cli
