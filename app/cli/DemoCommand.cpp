#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"

#include "musiclibrary/DemoLibrary.h"

namespace cli {

using namespace Qt::StringLiterals;

namespace {

int buildDemo(CliContext& context, const QStringList& arguments) {
    context.print({musiclibrary::buildDemoLibrary(arguments[0], context.options())});
    return 0;
}

} // namespace

Command demoCommand() {
    return {u"demo"_s,
            u"DIR"_s,
            u"build the demonstration library in DIR (replacing an earlier one)"_s,
            1,
            1,
            buildDemo,
            {},
            u"the path of its library file"_s};
}

} // namespace cli
