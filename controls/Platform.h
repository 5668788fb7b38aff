// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/CorvaneExport.h"
#include "database/MessagePresenter.h"

#include <QString>
#include <QStringList>
#include <Qt>

#include <vector>

class QKeyEvent;
class QLocale;
class QWidget;

// The Qt half of the platform layer: the message box, the user's number settings and the
// virtual-key codes that the controls' keyboard rules are written in.

// Shows every message in a modal QMessageBox over the active window. The program installs
// one at start-up; tests and the batch mode keep their own presenters.
class CORVANE_EXPORT CMessageBoxPresenter : public CMessagePresenter
{
public:
    void Show(const std::string& title, const std::string& text, EMessageIcon icon) override;
};

CORVANE_EXPORT void ShowMessage(const QString& title, const QString& text, EMessageIcon icon);
// Plain literals would match both the std::string and the QString forms.
inline void ShowMessage(const char* title, const char* text, EMessageIcon icon)
{
    ShowMessage(std::string(title), std::string(text), icon);
}

// The answers a question box can offer.
enum class EAnswer
{
    Save,
    Discard,
    Cancel,
    Yes,
    No,
};

// Asks a question in a modal box over the owner, offering the answers in the order given;
// the first is the default. Closing the box gives the last answer.
CORVANE_EXPORT EAnswer AskQuestion(QWidget* owner, const QString& title, const QString& text,
                                   const std::vector<EAnswer>& answers);

// The user's number settings, shared by every control of the library.
struct CORVANE_EXPORT CVKNumberSettings
{
    // Virtual-key codes of the keys that type a decimal separator.
    enum EDecimalKey
    {
        KeySeparator = 108, // keypad separator
        KeyDecimal = 110,   // keypad decimal point
        KeyOemComma = 188,  // ","
        KeyOemPeriod = 190, // "."
    };

    QString m_DecimalSeparator = QStringLiteral(".");
    QString m_ThousandsSeparator = QStringLiteral(",");
    QString m_NegativeSign = QStringLiteral("-");
    int m_LeadingZero = 1;   // 1: "0.5", 0: ".5"
    int m_NegativeOrder = 1; // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
    QString m_CurrencySymbol;
    QString m_DateSeparator = QStringLiteral("/");
    QString m_ShortDateFormat = QStringLiteral("M/d/yyyy");
    int m_DecimalKey1 = KeyDecimal;
    int m_DecimalKey2 = KeyOemPeriod;

    // "." as the first character takes the keypad decimal point and "."; anything else the
    // keypad separator and ",".
    void DeriveDecimalKeys();

    static CVKNumberSettings FromLocale(const QLocale& locale);
    // The fixed notation of reports, design files and field tables: "," grouping, "." decimal
    // point, a leading "-". The same on every machine.
    static CVKNumberSettings Fixed() { return {}; }
    // A locale with the given separators and otherwise the defaults above.
    static CVKNumberSettings WithSeparators(const QString& decimal, const QString& thousands);
};

// Read from QLocale::system() on first use.
CORVANE_EXPORT const CVKNumberSettings& NumberSettings();
CORVANE_EXPORT void SetNumberSettings(const CVKNumberSettings& settings);
// Back to the system locale's settings.
CORVANE_EXPORT void ResetNumberSettings();

// The virtual-key codes that the keyboard rules of the controls name.
enum EVirtualKey : int
{
    VkBack = 8,
    VkTab = 9,
    VkReturn = 13,
    VkEscape = 27,
    VkSpace = 32,
    VkPageUp = 33,
    VkEnd = 35,
    VkHome = 36,
    VkLeft = 37,
    VkUp = 38,
    VkRight = 39,
    VkDown = 40,
    VkInsert = 45,
    VkDelete = 46,
    VkHelp = 47,
    VkKey0 = 48,
    VkKey9 = 57,
    VkKeyA = 65,
    VkKeyZ = 90,
    VkNumpad0 = 96,
    VkNumpad9 = 105,
    VkSubtract = 109,
    VkF1 = 112,
    VkF24 = 135,
    VkOemMinus = 189,
    VkOemOther = 222, // any other character key
    VkNone = -1,      // a key the rules do not name (media keys and the like)
};

// Maps a Qt key onto the virtual-key code of the key that types it.
CORVANE_EXPORT int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers,
                                    const QString& text);
CORVANE_EXPORT int VirtualKeyFromQt(const QKeyEvent& event);

// Tab, Enter, F1 to F24 and the keys 33 to 47 go on to the parent, so that the form handles
// navigation; the edit field keeps Left and Right to itself.
CORVANE_EXPORT bool IsParentNavigationKey(int virtualKey, bool leftAndRightToo);
// Lets the parent see a key that the widget has handled (an ignored key reaches the parent
// anyway). Tab is left to Qt's focus chain, which already moves the focus.
CORVANE_EXPORT void PassKeyToParent(QWidget* widget, QKeyEvent* event);

// How long a passing message stays in the status bar.
constexpr int StatusMessageMilliseconds = 4000;
// Shows a passing message in the status bar of the main window the widget is in, for a few
// seconds and without a box; a widget outside a main window (the batch mode) shows nothing.
CORVANE_EXPORT void ShowStatusMessage(const QWidget* from, const QString& text);

// The program's own files (the default designs in Data/, the guide in help/) are looked up by
// their path below these folders, first to last: the working folder, the user's own data
// folder, the program's folder (a build tree) and the installed data folder.
CORVANE_EXPORT QStringList DataFolders();
// Where the user's own copies go (QStandardPaths::AppDataLocation).
CORVANE_EXPORT QString UserDataFolder();
// <prefix>/share/quillon, reached from the program's folder, so that an installed tree can move.
CORVANE_EXPORT QString InstalledDataFolder();
// The first file found at the relative path below DataFolders(); empty when there is none.
CORVANE_EXPORT QString FindDataFile(const QString& relative);
