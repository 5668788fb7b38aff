// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellFixture.h"

#include "app/AboutDlg.h"
#include "app/HelpWindow.h"
#include "calculators/FormFactory.h"
#include "controls/VKStatic.h"
#include "forms/VKFormView.h"

#include <QDesktopServices>
#include <QImage>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>

namespace
{
// Catches the addresses that would go to the user's browser.
class CUrlCatcher : public QObject
{
    Q_OBJECT

public:
    CUrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open"); }
    ~CUrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> m_Urls;

public slots:
    void Open(const QUrl& url) { m_Urls << url; }
};
} // namespace

TEST_F(ShellTest, AboutBoxLinkOpensTheMakersPage)
{
    Start();
    CUrlCatcher catcher;
    QString title;
    QString link;
    QColor colour;
    bool underlined = false;
    m_App->SetDialogRunner(
        [&](QDialog& dialog)
        {
            auto& about = dynamic_cast<CAboutDlg&>(dialog);
            title = about.windowTitle();
            link = about.Link()->GetWindowText();
            colour = about.Link()->TextColour();
            underlined = about.Link()->Font().underline();
            QTest::mouseClick(about.Link(), Qt::LeftButton);
        });
    m_App->OnCommand(CQuillonApp::IdAppAbout);
    EXPECT_EQ(title, QStringLiteral("About Quillon"));
    EXPECT_EQ(link, QString::fromLatin1(CAboutDlg::MakerUrl));
    // 0xFF0000 as a colour value is blue.
    EXPECT_EQ(colour, QColor(0, 0, 255));
    EXPECT_TRUE(underlined);
    EXPECT_EQ(catcher.m_Urls, QList<QUrl>{QUrl(QString::fromLatin1(CAboutDlg::MakerUrl))});
}

TEST_F(ShellTest, ViewHelpOpensTheGuideInTheHelpWindow)
{
    const QString guide = Path(QStringLiteral("help/quillon.html"));
    WriteFile(guide, "<html><body><h1>Guide</h1></body></html>");
    CMainFrame::SetHelpFilePath(guide);
    Start();
    // F1 opens it at the section of the calculator in use, the air-core receiver at start.
    ASSERT_EQ(CVKFormView::ActiveFormKey(), QStringLiteral("CrystalRadio"));
    EXPECT_EQ(m_App->Action(CQuillonApp::IdHelpView)->shortcuts(),
              QList<QKeySequence>{QKeySequence(Qt::Key_F1)});
    m_App->OnCommand(CQuillonApp::IdHelpView);
    CMainFrame::SetHelpFilePath(QString());
    ASSERT_NE(Frame().HelpWindow(), nullptr);
    EXPECT_TRUE(Frame().HelpWindow()->isVisible());
    QUrl section = QUrl::fromLocalFile(guide);
    section.setFragment(QStringLiteral("crystalradio"));
    EXPECT_EQ(Frame().HelpWindow()->Browser()->source(), section);
    EXPECT_TRUE(Frame().HelpWindow()->Browser()->toPlainText().contains(QStringLiteral("Guide")));
}

TEST_F(ShellTest, ViewHelpWithoutAGuideDoesNothing)
{
    CMainFrame::SetHelpFilePath(Path(QStringLiteral("missing/quillon.html")));
    Start();
    m_App->OnCommand(CQuillonApp::IdHelpView);
    CMainFrame::SetHelpFilePath(QString());
    EXPECT_EQ(Frame().HelpWindow(), nullptr);
    EXPECT_TRUE(m_Messages.m_Messages.empty());
}

TEST_F(ShellTest, TheShippedGuideCoversEveryCalculator)
{
    const QByteArray guide = ReadFile(SourceDir() + QStringLiteral("/app/help/quillon.html"));
    ASSERT_FALSE(guide.isEmpty());
    // Every calculator by the name its window shows, with the section F1 opens.
    for (const CFormEntry& entry : FormEntries())
    {
        EXPECT_TRUE(guide.contains(WindowText(entry.m_Caption).toUtf8()))
            << entry.m_Caption.toStdString();
        EXPECT_TRUE(guide.contains("<a name=\"" + entry.m_HelpAnchor.toUtf8() + "\">"))
            << entry.m_HelpAnchor.toStdString();
    }
    EXPECT_GE(guide.count("Accuracy"), 7);
}

TEST_F(ShellTest, TheGuideShowsAPlotOfEveryCalculatorAndShipsEachPicture)
{
    const QString folder = SourceDir() + QStringLiteral("/app/help/");
    const QString guide = QString::fromUtf8(ReadFile(folder + QStringLiteral("quillon.html")));
    const QRegularExpression image(QStringLiteral("<img src=\"([^\"]+)\""));
    int pictures = 0;
    for (const QRegularExpressionMatch& match : image.globalMatch(guide))
    {
        ++pictures;
        EXPECT_FALSE(QImage(folder + match.captured(1)).isNull())
            << match.captured(1).toStdString();
    }
    EXPECT_GE(pictures, 7);
}

#include "test_about_help.moc"
