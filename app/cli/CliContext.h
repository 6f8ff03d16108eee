#pragma once

// What every command of quillmoth-cli works with: the library (opened on
// first use), the output streams and the parsing of common arguments.

#include "musiclibrary/ITunes.h"
#include "musiclibrary/Library.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

// A command line that does not fit the command: usage is printed, exit 2.
struct UsageError {
    QString message;
};

class CliContext {
public:
    CliContext(const QString& libraryPath, const musiclibrary::LibraryOptions& options,
               QTextStream& out);

    const musiclibrary::LibraryOptions& options() const { return m_options; }
    // Opens the library on first use; throws LibraryError.
    musiclibrary::IiTunes& library();
    // Track number `argument` (1-based) of the library playlist.
    musiclibrary::TrackPtr track(const QString& argument);

    // Writes one record: the fields separated by tabs. Tabs and line breaks
    // inside a field become spaces, so that a record is always one line.
    void print(const QStringList& fields);
    // Writes text as it is (a message of several lines), then a line break.
    void printText(const QString& text);
    // Hands what was printed to the reader now (a run reports as it goes).
    void flush() { m_out.flush(); }

private:
    QString m_libraryPath;
    musiclibrary::LibraryOptions m_options;
    QTextStream& m_out;
    musiclibrary::ITunesPtr m_library;
};

// A positive whole number given on the command line, or a UsageError that
// names what it was meant to be.
int positiveNumber(const QString& argument, const QString& what);

} // namespace cli
