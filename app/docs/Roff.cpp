#include "app/docs/Roff.h"

#include <QRegularExpression>
#include <QStringList>

namespace docs {

using namespace Qt::StringLiterals;

namespace {

QString plain(const QString& text) {
    QString result = text;
    result.replace(u'\\', u"\\e"_s);
    // A hyphen after a letter or digit joins words; any other is a dash of
    // an option, a minus or a dash on its own.
    static const QRegularExpression optionHyphen(u"(?<![A-Za-z0-9])-|(?<=-)-"_s);
    result.replace(optionHyphen, u"\\-"_s);
    return result;
}

// A line that begins with a dot or quote would be read as a request.
QString line(const QString& text) {
    return text.startsWith(u'.') || text.startsWith(u'\'') ? u"\\&"_s + text : text;
}

} // namespace

QString escaped(const QString& text) {
    return plain(text);
}

QString synopsisMarkup(const QString& text) {
    // Options and literal words (program and command names) are typed as
    // they stand; capitals and <path> stand for what the user gives.
    static const QRegularExpression token(
        u"(?<![A-Za-z0-9_-])(--?[A-Za-z][A-Za-z0-9-]*|[a-z][a-z0-9]*(?:-[a-z0-9]+)*|<[a-z]+>|"
        u"[A-Z][A-Z0-9]*)(?![A-Za-z0-9_])"_s);
    QString result;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& match : token.globalMatch(text)) {
        result += plain(text.mid(at, match.capturedStart() - at));
        const QString word = match.captured(1);
        const bool placeholder = word.front().isUpper() || word.startsWith(u'<');
        // Escaped in full: in an option every hyphen is typed as such.
        QString typed = word;
        typed.replace(u'-', u"\\-"_s);
        result += (placeholder ? u"\\fI"_s : u"\\fB"_s) + typed + u"\\fR"_s;
        at = match.capturedEnd();
    }
    return result + plain(text.mid(at));
}

RoffPage::RoffPage(const QString& name, const QString& date, const QString& version,
                   const QString& summary) {
    QString upper = name.toUpper();
    upper.replace(u'-', u"\\-"_s);
    QString typed = name;
    typed.replace(u'-', u"\\-"_s);
    m_text = u".\\\" Made from the program's own option tables; do not edit.\n"_s +
             u".TH %1 1 %2 \"Quillmoth %3\" \"User Commands\"\n"_s.arg(upper, date, version) +
             u".SH NAME\n"_s + typed + u" \\- "_s + plain(summary) + u'\n';
}

void RoffPage::section(const QString& title) {
    m_text += u".SH "_s + (title.contains(u' ') ? u'"' + title + u'"' : title) + u'\n';
    m_underHeading = true;
}

void RoffPage::subsection(const QString& title) {
    m_text += u".SS "_s + title + u'\n';
    m_underHeading = true;
}

void RoffPage::startParagraph() {
    if (!m_underHeading)
        m_text += u".PP\n"_s;
    m_underHeading = false;
}

void RoffPage::paragraph(const QString& text) {
    markup(plain(text));
}

void RoffPage::markup(const QString& roff) {
    // .PP also ends an item: the paragraph goes back to the left margin.
    startParagraph();
    m_text += line(roff) + u'\n';
}

void RoffPage::item(const QString& termRoff, const QString& text) {
    m_underHeading = false;
    m_text += u".TP\n"_s + line(termRoff) + u'\n' + line(plain(text)) + u'\n';
}

void RoffPage::example(const QStringList& lines) {
    startParagraph();
    m_text += u".RS 4\n.nf\n"_s;
    for (QString text : lines) {
        text.replace(u'\\', u"\\e"_s);
        text.replace(u'-', u"\\-"_s); // typed as shown
        m_text += line(text) + u'\n';
    }
    m_text += u".fi\n.RE\n"_s;
}

} // namespace docs
