#include "app/StartupOptions.h"

#include "app/Version.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

struct Parser
{
    Parser()
        : help(parser.addHelpOption())
        , version(parser.addVersionOption())
    {
        parser.setApplicationDescription(
            Version::ProductName + u" - "_s + Version::FileDescription);
        parser.addOption(data);
        parser.addOption(quitAfterStart);
    }

    QString helpText(const QStringList &arguments) const
    {
        const QString program =
            arguments.isEmpty() ? u"tessorin"_s : QFileInfo(arguments.first()).fileName();
        return parser.helpText().replace(u"<executable_name>"_s, program);
    }

    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption data { u"data"_s,
        u"Use the data directory <directory> and remember it for this user. A directory DATA "
        "beside the program is always used instead."_s,
        u"directory"_s };
    QCommandLineOption quitAfterStart { u"quit-after-start"_s,
        u"End as soon as the main window is up (checks an installation); the exit code is 0 when "
        "the data directory opened."_s };
};

} // namespace

bool StartupOptions::answerInformation(const QStringList &arguments, QTextStream &out)
{
    Parser options;
    options.parser.parse(arguments);
    if (options.parser.isSet(options.help) || options.parser.isSet(u"help-all"_s)) {
        out << options.helpText(arguments);
    } else if (options.parser.isSet(options.version)) {
        out << Version::ProductName << ' ' << Version::FileVersion << '\n';
    } else {
        return false;
    }
    out.flush();
    return true;
}

StartupOptions::Outcome StartupOptions::parse(
    const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (answerInformation(arguments, out))
        return Outcome::Answered;
    Parser options;
    bool ok = options.parser.parse(arguments);
    if (ok && !options.parser.positionalArguments().isEmpty()) {
        ok = false;
        err << "Unexpected argument '" << options.parser.positionalArguments().first() << "'.\n";
    } else if (ok && options.parser.isSet(options.data)
        && options.parser.value(options.data).isEmpty()) {
        ok = false;
        err << "The option --data needs a directory.\n";
    } else if (!ok) {
        err << options.parser.errorText() << '\n';
    }
    if (!ok) {
        err << options.helpText(arguments);
        err.flush();
        return Outcome::Refused;
    }
    m_dataDirectory = options.parser.value(options.data);
    m_quitAfterStart = options.parser.isSet(options.quitAfterStart);
    return Outcome::Run;
}
