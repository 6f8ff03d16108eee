#include "app/cli/CliContext.h"

namespace cli {

using namespace Qt::StringLiterals;

CliContext::CliContext(const QString& libraryPath, const musiclibrary::LibraryOptions& options,
                       QTextStream& out)
    : m_libraryPath(libraryPath), m_options(options), m_out(out) {}

musiclibrary::IiTunes& CliContext::library() {
    if (!m_library)
        m_library = musiclibrary::openLibrary(m_libraryPath, m_options);
    return *m_library;
}

musiclibrary::TrackPtr CliContext::track(const QString& argument) {
    const int index = positiveNumber(argument, u"track index"_s);
    return library().LibraryPlaylist()->Tracks()->Item(index);
}

void CliContext::print(const QStringList& fields) {
    QStringList clean;
    clean.reserve(fields.size());
    for (QString field : fields) {
        for (const QChar breaking : {u'\t', u'\n', u'\r'})
            field.replace(breaking, u' ');
        clean.append(field);
    }
    m_out << clean.join(u'\t') << '\n';
}

void CliContext::printText(const QString& text) {
    m_out << text << '\n';
}

int positiveNumber(const QString& argument, const QString& what) {
    bool ok = false;
    const int number = argument.toInt(&ok);
    if (!ok || number < 1)
        throw UsageError{
            u"The %1 must be a whole number from 1 up, not \"%2\"."_s.arg(what, argument)};
    return number;
}

} // namespace cli
