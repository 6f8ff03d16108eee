#pragma once

// Manual pages in the man(7) language, written from plain texts: the
// escaping that roff needs is done here once.

#include <QString>

namespace docs {

// Text safe to stand in a roff line: backslashes escaped, and hyphens that
// start an option (or stand alone) written as minus signs, so that a reader
// can copy "--library" from the page; hyphens inside words stay hyphens.
QString escaped(const QString& text);
// A command line in the man page style: options and program names bold,
// placeholders (LIST, <path>) italic, the rest plain.
QString synopsisMarkup(const QString& text);

class RoffPage {
public:
    RoffPage(const QString& name, const QString& date, const QString& version,
             const QString& summary);
    void section(const QString& title);
    void subsection(const QString& title);
    void paragraph(const QString& text);
    // A paragraph already in roff (marked-up synopsis and the like).
    void markup(const QString& roff);
    // A tagged paragraph: term (roff) over an indented text.
    void item(const QString& termRoff, const QString& text);
    // Lines shown as they are, indented.
    void example(const QStringList& lines);
    const QString& text() const { return m_text; }

private:
    // A paragraph right under a heading needs no .PP (mandoc warns of one).
    void startParagraph();

    QString m_text;
    bool m_underHeading = false;
};

} // namespace docs
