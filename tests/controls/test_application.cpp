// SPDX-License-Identifier: GPL-3.0-or-later
// One QApplication for the whole test program, on Qt's offscreen platform, and number
// settings that do not depend on the machine's locale.
#include "controls/Platform.h"
#include "database/Error.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{
class CQtEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "quillon_tests_controls";
        static char* argv[] = {name, nullptr};
        m_App = new QApplication(argc, argv);
        SetNumberSettings(
            CVKNumberSettings::WithSeparators(QStringLiteral("."), QStringLiteral(",")));
    }

    void TearDown() override
    {
        delete m_App;
        m_App = nullptr;
    }

private:
    QApplication* m_App = nullptr;
};

[[maybe_unused]] ::testing::Environment* const g_Environment =
    ::testing::AddGlobalTestEnvironment(new CQtEnvironment);
} // namespace

TEST(NumberSettings, DecimalKeysFollowTheSeparator)
{
    // The keypad decimal point and "." for a ".", the keypad separator and "," otherwise.
    const CVKNumberSettings point = CVKNumberSettings::WithSeparators(".", ",");
    EXPECT_EQ(point.m_DecimalKey1, 110);
    EXPECT_EQ(point.m_DecimalKey2, 190);
    const CVKNumberSettings comma = CVKNumberSettings::WithSeparators(",", ".");
    EXPECT_EQ(comma.m_DecimalKey1, 108);
    EXPECT_EQ(comma.m_DecimalKey2, 188);
}

TEST(NumberSettings, ReadFromALocale)
{
    const CVKNumberSettings german =
        CVKNumberSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.m_DecimalSeparator, ",");
    EXPECT_EQ(german.m_ThousandsSeparator, ".");
    EXPECT_EQ(german.m_NegativeOrder, 1);
    EXPECT_EQ(german.m_DecimalKey2, 188);
    EXPECT_EQ(german.m_DateSeparator, ".");

    const CVKNumberSettings c = CVKNumberSettings::FromLocale(QLocale::c());
    EXPECT_EQ(c.m_DecimalSeparator, ".");
    EXPECT_EQ(c.m_DecimalKey1, 110);
}

TEST(NumberSettings, ReplaceableAndResetToTheSystemLocale)
{
    const CVKNumberSettings saved = NumberSettings();
    SetNumberSettings(CVKNumberSettings::WithSeparators(",", " "));
    EXPECT_EQ(NumberSettings().m_ThousandsSeparator, " ");
    ResetNumberSettings();
    EXPECT_EQ(NumberSettings().m_DecimalSeparator, QLocale::system().decimalPoint());
    SetNumberSettings(saved);
}

TEST(VirtualKeys, QtKeysMapOntoTheCodesTheRulesName)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::NoModifier, "7"), 55);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::KeypadModifier, "7"), 103);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Period, Qt::KeypadModifier, "."), 110);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Period, Qt::NoModifier, "."), 190);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Comma, Qt::NoModifier, ","), 188);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Comma, Qt::KeypadModifier, ","), 108);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus, Qt::NoModifier, "-"), 189);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus, Qt::KeypadModifier, "-"), 109);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter, Qt::KeypadModifier, "\r"), 13);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F24, Qt::NoModifier, ""), 135);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Q, Qt::ShiftModifier, "Q"), 81);
    // Shifted digits and other punctuation type no number: they must not pass as "below 65".
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier, "!"), VkOemOther);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, Qt::NoModifier, "+"), 187);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_VolumeUp, Qt::NoModifier, ""), VkNone);
}

TEST(VirtualKeys, NavigationKeysForTheParent)
{
    for (int key : {9, 13, 112, 135, 33, 36, 38, 40, 46, 47})
        EXPECT_TRUE(IsParentNavigationKey(key, false)) << key;
    for (int key : {8, 32, 48, 65, 111, 136, 190})
        EXPECT_FALSE(IsParentNavigationKey(key, true)) << key;
    EXPECT_FALSE(IsParentNavigationKey(VkLeft, false));
    EXPECT_FALSE(IsParentNavigationKey(VkRight, false));
    EXPECT_TRUE(IsParentNavigationKey(VkLeft, true));
}

namespace
{
// Reads the message box that is showing, then presses OK.
void AnswerBox(QString& title, QString& text, QMessageBox::Icon& icon)
{
    QTimer::singleShot(0,
                       [&]
                       {
                           for (QWidget* widget : QApplication::topLevelWidgets())
                           {
                               auto* box = qobject_cast<QMessageBox*>(widget);
                               if (box == nullptr || !box->isVisible())
                                   continue;
                               title = box->windowTitle();
                               text = box->text();
                               icon = box->icon();
                               box->accept();
                           }
                       });
}
} // namespace

TEST(MessageBoxPresenter, ShowsAModalBoxWithTitleTextAndIcon)
{
    CMessageBoxPresenter boxes;
    CScopedPresenter scope(boxes);
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerBox(title, text, icon);
    CError::DisplayError("Error: 0x16 \rBad value");
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(text, "Error: 0x16 \nBad value"); // the record's lone carriage return breaks the line
    EXPECT_EQ(icon, QMessageBox::Critical);

    AnswerBox(title, text, icon);
    ShowMessage(QStringLiteral("ERROR"), QStringLiteral("Coil too long"), EMessageIcon::None);
    EXPECT_EQ(title, "ERROR");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
}

namespace
{
// Presses one standard button of the question box that is showing, after noting its
// buttons and its default.
void PressInQuestion(QMessageBox::StandardButton press, QList<QMessageBox::StandardButton>& offered,
                     QMessageBox::StandardButton& defaultButton)
{
    QTimer::singleShot(0,
                       [&offered, &defaultButton, press]
                       {
                           auto* box =
                               qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                           if (box == nullptr)
                               return;
                           offered.clear();
                           for (QAbstractButton* button : box->buttons())
                               offered << box->standardButton(button);
                           defaultButton = box->standardButton(box->defaultButton());
                           box->button(press)->click();
                       });
}
} // namespace

TEST(QuestionBox, OffersTheAnswersAndGivesTheOneChosen)
{
    const std::vector<EAnswer> closing = {EAnswer::Save, EAnswer::Discard, EAnswer::Cancel};
    QList<QMessageBox::StandardButton> offered;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;

    PressInQuestion(QMessageBox::Discard, offered, defaultButton);
    EXPECT_EQ(AskQuestion(nullptr, QStringLiteral("Quillwave"),
                          QStringLiteral("Save changes to a.qwf?"), closing),
              EAnswer::Discard);
    EXPECT_EQ(offered.size(), 3);
    EXPECT_TRUE(offered.contains(QMessageBox::Save) && offered.contains(QMessageBox::Cancel));
    EXPECT_EQ(defaultButton, QMessageBox::Save);
}
