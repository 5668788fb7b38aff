// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchRun.h"
#include "app/MainFrame.h"
#include "app/QuillonApp.h"
#include "controls/Platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace
{
// False when the stream took less than all of it: a full disk, a closed pipe.
bool WriteWhole(std::FILE* stream, const QByteArray& bytes)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}

const char* const WindowedHelp =
    "\nWindowed use: quillon [--screenshot FILE.png] [DESIGN.qwf]\n"
    "  DESIGN.qwf              Open a design file in a new calculator of its kind.\n"
    "  --screenshot FILE.png   Start as usual, save a picture of the main window once\n"
    "                          the first calculator is shown, and exit.\n";

void SilentMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

QStringList Arguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

bool AsksForHelp(const QStringList& args)
{
    for (const QString& arg : args)
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h") ||
            arg == QLatin1String("-?") || arg == QLatin1String("--help-all"))
            return true;
    return false;
}

// Saves the main window once the event loop has shown it with its first calculator.
void TakeScreenshot(CQuillonApp& quillon, const QString& path, const QElapsedTimer& clock)
{
    const qint64 shownAfter = clock.elapsed();
    CMainFrame* frame = quillon.MainFrame();
    const bool saved = frame && frame->grab().save(path, "PNG");
    if (saved)
        std::printf("Screenshot %s: first calculator shown %lld ms after start\n", qPrintable(path),
                    static_cast<long long>(shownAfter));
    else
        std::fprintf(stderr, "quillon: cannot write the screenshot %s\n", qPrintable(path));
    std::fflush(stdout);
    QCoreApplication::exit(saved ? 0 : 1);
}

int RunWindow(QApplication& app, const QElapsedTimer& clock)
{
    QCommandLineParser parser;
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"), QStringLiteral("Save a picture of the main window and exit."),
        QStringLiteral("FILE.png"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("design"), QStringLiteral("A design file to open."),
                                 QStringLiteral("[DESIGN.qwf]"));
    parser.process(app);

    CMessageBoxPresenter presenter;
    CScopedPresenter scoped(presenter);
    CQuillonOptions options;
    if (!parser.positionalArguments().isEmpty())
        options.m_DesignFile = parser.positionalArguments().constFirst();
    CQuillonApp quillon(options);
    if (!quillon.InitInstance())
        return 1;
    if (parser.isSet(screenshot))
    {
        const QString path = parser.value(screenshot);
        QTimer::singleShot(0, &quillon,
                           [&quillon, path, &clock] { TakeScreenshot(quillon, path, clock); });
    }
    const int status = QApplication::exec();
    quillon.ExitInstance();
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    const QStringList args = Arguments(argc, argv);
    const bool batch = WantsBatch(args);
    if (batch)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(SilentMessages);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setOrganizationName(QStringLiteral("Harlowen"));
    if (!batch)
        return RunWindow(app, clock);

    QString out;
    QString err;
    int status = RunBatch(QApplication::arguments(), out, err);
    if (status == 0 && AsksForHelp(args))
        out += QLatin1String(WindowedHelp);
#ifdef SIGPIPE
    // A reader that went away makes a failed write, said like any other, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    if (!WriteWhole(stdout, out.toLocal8Bit()))
    {
        err += QStringLiteral("Error: Error while writing to standard output\n");
        status = status == 0 ? 1 : status;
    }
    WriteWhole(stderr, err.toLocal8Bit());
    return status;
}
