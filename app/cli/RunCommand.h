#pragma once

// The artwork runs of the window, for scripts: the library is scanned as
// Step 1 does, the Eligible rows are checked (all, or those of --tracks),
// and the run works on them with the same code the window runs. Each
// checked row gets one line on standard output (catalogue index, outcome,
// image path, reason or error), then the closing message's text follows.
// Errors that would be message boxes go to standard error and are answered
// OK; progress goes to standard error.

#include "app/cli/CliContext.h"
#include "artwork/ArtworkRun.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/ProgressPanel.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace cli {

// Reads "--name value" options and "--flag" switches; anything it was not
// told about is a UsageError.
class OptionReader {
public:
    OptionReader(const QStringList& arguments, const QStringList& valueOptions,
                 const QStringList& flags);
    bool isSet(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const {
        return m_values.value(name, fallback);
    }
    // A whole number from low to high, or a UsageError naming the option.
    int number(const QString& name, int low, int high, int fallback) const;
    // A comma-separated list of whole numbers (each at least low).
    QList<int> numbers(const QString& name, int low, int high) const;

private:
    QHash<QString, QString> m_values;
};

// The options every run takes: --filter MASK and --tracks LIST.
inline const QStringList RowSelectionOptions = {QStringLiteral("--filter"),
                                                QStringLiteral("--tracks")};

// Progress on standard error: a bar redrawn in place on a terminal, else a
// line every few percent (a log stays short).
class StderrProgress : public catalogue::RecordingProgressPanel {
public:
    StderrProgress();
    void setActive(bool active) override;
    void setValue(int32_t value) override;

private:
    bool m_terminal;
    bool m_drawn = false;
    int m_lastPercent = -1;
};

class CliRun {
public:
    // Scans the library with the view filter of --filter and checks the
    // rows that --tracks names (every Eligible row without it).
    CliRun(CliContext& context, const OptionReader& options);
    ~CliRun();

    catalogue::CatalogueSession& session() { return m_session; }
    artwork::ArtworkRunContext& runContext() { return *m_runContext; }
    // Prints a line for every checked row the run did not reach, then the
    // closing message; the exit status of a run that ended.
    int finish();

private:
    class Messages;

    CliContext& m_context;
    catalogue::CatalogueSession m_session;
    std::unique_ptr<Messages> m_messages;
    std::unique_ptr<StderrProgress> m_progress;
    std::unique_ptr<catalogue::RunEnvironment> m_environment;
    std::unique_ptr<artwork::ArtworkRunContext> m_runContext;
    QList<int32_t> m_checked; // catalogue indexes of the rows checked at the start
    QSet<int32_t> m_reported;
};

} // namespace cli
