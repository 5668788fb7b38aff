#include "controls/Platform.h"
#include "forms/BatchRun.h"
#include "forms/DesignFile.h"
#include "forms/FormFactory.h"
#include "forms/VKFormView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMainWindow>
#include <QScrollArea>

#include <cstdio>

namespace
{
void SilentMessages(QtMsgType, const QMessageLogContext&, const QString&)
{
}

QStringList Arguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// Until the application shell is in place: the air-core receiver calculator in a window.
int RunWindow(QApplication& app)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    const CFormEntry* entry = FindFormEntry(QStringLiteral("CrystalRadio"));
    if (!entry && !FormEntries().empty())
        entry = &FormEntries().front();
    if (!entry)
        return 1;

    CMessageBoxPresenter presenter;
    CScopedPresenter scoped(presenter);
    QMainWindow window;
    auto* scroll = new QScrollArea(&window);
    scroll->setWidgetResizable(true);
    CVKFormView* form = CreateForm(entry->m_Key).release();
    scroll->setWidget(form);
    window.setCentralWidget(scroll);
    window.setWindowTitle(QStringLiteral("Quillwave - ") + entry->m_Caption);
    window.resize(form->sizeHint().grownBy(QMargins(0, 0, 40, 40)));
    window.show();
    CVKFormView::SetActiveForm(form);
    LoadDesign(form, form->m_strFormKey, DefaultDesignPath(QDir::currentPath(), *entry));
    return app.exec();
}
} // namespace

int main(int argc, char** argv)
{
    const bool batch = WantsBatch(Arguments(argc, argv));
    if (batch) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(SilentMessages);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    if (!batch)
        return RunWindow(app);

    QString out;
    QString err;
    const int status = RunBatch(QApplication::arguments(), out, err);
    std::fputs(out.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    std::fputs(err.toLocal8Bit().constData(), stderr);
    return status;
}
