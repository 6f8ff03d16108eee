#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"

#include <QTextStream>

#include <cstdio>

namespace cli {

using namespace Qt::StringLiterals;

namespace {

// The scan's messages go to stderr; the command then fails.
class StderrMessages : public support::MessageBoxes {
public:
    bool shown = false;
    int show(const QString& text, const QString&, int, int) override {
        shown = true;
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

catalogue::ArtTypes filterArgument(const QStringList& arguments) {
    if (arguments.isEmpty())
        return catalogue::ViewFilterDefault;
    bool ok = false;
    const int mask = arguments.size() == 2 ? arguments[1].toInt(&ok) : 0;
    if (arguments[0] != u"--filter"_s || !ok || mask < 0 || mask > catalogue::ArtKindsAll)
        throw UsageError{u"Use --filter MASK with a MASK from 0 to 255."_s};
    return mask;
}

void printList(CliContext& context, const catalogue::SongList& list, const QString& name) {
    const catalogue::SongListModel& model = list.model();
    QStringList fields;
    for (int row = 0; row < model.rowCount(); ++row) {
        fields.clear();
        fields.append(name);
        for (int column = 0; column < catalogue::SongColumnCount; ++column)
            fields.append(model.text(row, column));
        fields.append(model.isChecked(row) ? u"1"_s : u"0"_s);
        context.print(fields);
    }
}

int scanLibrary(CliContext& context, const QStringList& arguments) {
    const catalogue::ArtTypes filter = filterArgument(arguments);
    musiclibrary::IiTunes& library = context.library();

    catalogue::CatalogueSession session;
    session.Kinds.Build();
    // The context keeps the library open for as long as the command runs.
    const musiclibrary::ITunesPtr borrowed(&library, [](musiclibrary::IiTunes*) {});
    if (!session.Init([borrowed] { return borrowed; }))
        return 1;
    session.ViewFilter = filter;

    StderrMessages messages;
    catalogue::RecordingProgressPanel progress;
    catalogue::ScanEnvironment environment{progress, {&messages, nullptr, nullptr, nullptr}};
    catalogue::ScanLibrary(session, environment);

    printList(context, session.Eligible, u"eligible"_s);
    printList(context, session.Ineligible, u"ineligible"_s);
    context.print({u"counts"_s, QString::number(session.Counts.gEligibleSongs()),
                   QString::number(session.Counts.gInEligibleSongs())});
    session.UnInit();
    return messages.shown ? 1 : 0;
}

} // namespace

Command scanCommand() {
    return {u"scan"_s,
            u"[--filter MASK]"_s,
            u"scan the library as Step 1 does and print both song lists"_s,
            0,
            2,
            scanLibrary,
            {filterOption()},
            u"one line per song: list (eligible or ineligible), artist, album, track, song name, "
            u"path, artwork kinds or the reason it is ineligible, check mark (1 or 0); then "
            u"\"counts\" with the numbers of eligible and ineligible songs"_s,
            {{1, u"the library could not be read, or the scan reported a problem on standard "
                 u"error"_s}}};
}

} // namespace cli
