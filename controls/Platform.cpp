// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>

#include <optional>
#include <utility>

// The installed data folder relative to the installed program; the build sets it from its
// install prefix.
#ifndef QUILLON_DATA_FROM_PROGRAM
#define QUILLON_DATA_FROM_PROGRAM "../share/quillon"
#endif

void CMessageBoxPresenter::Show(const std::string& title, const std::string& text,
                                EMessageIcon icon)
{
    // Without a widget application (a console run) a box cannot be shown: print instead.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
    {
        CStderrPresenter().Show(title, text, icon);
        return;
    }
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon)
    {
    case EMessageIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case EMessageIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case EMessageIcon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    case EMessageIcon::None:
        break;
    }
    // Error records separate their parts with a lone carriage return.
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(boxIcon, QString::fromStdString(title), body, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

EAnswer AskQuestion(QWidget* owner, const QString& title, const QString& text,
                    const std::vector<EAnswer>& answers)
{
    static const std::pair<EAnswer, QMessageBox::StandardButton> buttons[] = {
        {EAnswer::Save, QMessageBox::Save},     {EAnswer::Discard, QMessageBox::Discard},
        {EAnswer::Cancel, QMessageBox::Cancel}, {EAnswer::Yes, QMessageBox::Yes},
        {EAnswer::No, QMessageBox::No},
    };
    const auto button = [](EAnswer answer)
    {
        for (const auto& [each, standard] : buttons)
            if (each == answer)
                return standard;
        return QMessageBox::NoButton;
    };
    if (answers.empty())
        return EAnswer::Cancel;
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
    for (EAnswer answer : answers)
        box.addButton(button(answer));
    box.setDefaultButton(button(answers.front()));
    box.setEscapeButton(box.button(button(answers.back())));
    const int chosen = box.exec();
    for (EAnswer answer : answers)
        if (button(answer) == chosen)
            return answer;
    return answers.back();
}

void ShowMessage(const QString& title, const QString& text, EMessageIcon icon)
{
    ShowMessage(title.toStdString(), text.toStdString(), icon);
}

void CVKNumberSettings::DeriveDecimalKeys()
{
    if (m_DecimalSeparator.startsWith(QLatin1Char('.')))
    {
        m_DecimalKey1 = KeyDecimal;
        m_DecimalKey2 = KeyOemPeriod;
    }
    else
    {
        m_DecimalKey1 = KeySeparator;
        m_DecimalKey2 = KeyOemComma;
    }
}

CVKNumberSettings CVKNumberSettings::FromLocale(const QLocale& locale)
{
    CVKNumberSettings settings;
    settings.m_DecimalSeparator = locale.decimalPoint();
    settings.m_ThousandsSeparator = locale.groupSeparator();
    settings.m_NegativeSign = locale.negativeSign();
    settings.m_CurrencySymbol = locale.currencySymbol(QLocale::CurrencySymbol);
    settings.m_ShortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    for (QChar c : settings.m_ShortDateFormat)
    {
        if (!c.isLetter())
        {
            settings.m_DateSeparator = QString(c);
            break;
        }
    }
    // Where the locale puts the sign of a negative number.
    const QString negative = locale.toString(-1.5, 'f', 1);
    if (negative.startsWith(QLatin1Char('(')))
        settings.m_NegativeOrder = 0;
    else if (negative.endsWith(QLatin1Char(' ') + settings.m_NegativeSign))
        settings.m_NegativeOrder = 4;
    else if (negative.endsWith(settings.m_NegativeSign))
        settings.m_NegativeOrder = 3;
    else if (negative.startsWith(settings.m_NegativeSign + QLatin1Char(' ')))
        settings.m_NegativeOrder = 2;
    else
        settings.m_NegativeOrder = 1;
    if (settings.m_DecimalSeparator.isEmpty())
        settings.m_DecimalSeparator = QStringLiteral(".");
    settings.DeriveDecimalKeys();
    return settings;
}

CVKNumberSettings CVKNumberSettings::WithSeparators(const QString& decimal,
                                                    const QString& thousands)
{
    CVKNumberSettings settings;
    settings.m_DecimalSeparator = decimal;
    settings.m_ThousandsSeparator = thousands;
    settings.DeriveDecimalKeys();
    return settings;
}

namespace
{
std::optional<CVKNumberSettings>& CurrentSettings()
{
    static std::optional<CVKNumberSettings> settings;
    return settings;
}
} // namespace

const CVKNumberSettings& NumberSettings()
{
    std::optional<CVKNumberSettings>& settings = CurrentSettings();
    if (!settings)
        settings = CVKNumberSettings::FromLocale(QLocale::system());
    return *settings;
}

void SetNumberSettings(const CVKNumberSettings& settings)
{
    CurrentSettings() = settings;
}

void ResetNumberSettings()
{
    CurrentSettings().reset();
}

namespace
{
// Keys whose virtual-key code is the same on the keypad and off it.
const std::pair<int, int> PlainKeys[] = {
    {Qt::Key_Backspace, VkBack}, {Qt::Key_Tab, VkTab},       {Qt::Key_Backtab, VkTab},
    {Qt::Key_Clear, 12},         {Qt::Key_Return, VkReturn}, {Qt::Key_Enter, VkReturn},
    {Qt::Key_Shift, 16},         {Qt::Key_Control, 17},      {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},         {Qt::Key_CapsLock, 20},     {Qt::Key_Escape, VkEscape},
    {Qt::Key_Space, VkSpace},    {Qt::Key_PageUp, VkPageUp}, {Qt::Key_PageDown, 34},
    {Qt::Key_End, VkEnd},        {Qt::Key_Home, VkHome},     {Qt::Key_Left, VkLeft},
    {Qt::Key_Up, VkUp},          {Qt::Key_Right, VkRight},   {Qt::Key_Down, VkDown},
    {Qt::Key_Select, 41},        {Qt::Key_Printer, 42},      {Qt::Key_Execute, 43},
    {Qt::Key_Print, 44},         {Qt::Key_Insert, VkInsert}, {Qt::Key_Delete, VkDelete},
    {Qt::Key_Help, VkHelp},      {Qt::Key_Meta, 91},         {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},      {Qt::Key_ScrollLock, 145},  {Qt::Key_AltGr, 165},
};

} // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (keypad ? VkNumpad0 : VkKey0) + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return VkKeyA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VkF1 + (qtKey - Qt::Key_F1);
    switch (qtKey)
    {
    case Qt::Key_Period:
        return keypad ? CVKNumberSettings::KeyDecimal : CVKNumberSettings::KeyOemPeriod;
    case Qt::Key_Comma:
        return keypad ? CVKNumberSettings::KeySeparator : CVKNumberSettings::KeyOemComma;
    case Qt::Key_Minus:
        return keypad ? VkSubtract : VkOemMinus;
    case Qt::Key_Plus:
        return keypad ? 107 : 187;
    case Qt::Key_Asterisk:
        return keypad ? 106 : VkOemOther;
    case Qt::Key_Slash:
        return keypad ? 111 : 191;
    default:
        break;
    }
    for (const auto& [key, virtualKey] : PlainKeys)
        if (key == qtKey)
            return virtualKey;
    // Every other key that types something is punctuation or a letter outside A to Z.
    return text.isEmpty() || !text.at(0).isPrint() ? VkNone : VkOemOther;
}

int VirtualKeyFromQt(const QKeyEvent& event)
{
    return VirtualKeyFromQt(event.key(), event.modifiers(), event.text());
}

bool IsParentNavigationKey(int virtualKey, bool leftAndRightToo)
{
    if (virtualKey == VkTab || virtualKey == VkReturn)
        return true;
    if (virtualKey >= VkF1 && virtualKey <= VkF24)
        return true;
    if (virtualKey >= VkPageUp && virtualKey <= VkHelp)
        return leftAndRightToo || (virtualKey != VkLeft && virtualKey != VkRight);
    return false;
}

void PassKeyToParent(QWidget* widget, QKeyEvent* event)
{
    QWidget* parent = widget->isWindow() ? nullptr : widget->parentWidget();
    if (parent == nullptr || !event->isAccepted() || VirtualKeyFromQt(*event) == VkTab)
        return;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                   event->isAutoRepeat(), static_cast<quint16>(event->count()));
    QCoreApplication::sendEvent(parent, &copy);
}

void ShowStatusMessage(const QWidget* from, const QString& text)
{
    auto* window = from ? qobject_cast<QMainWindow*>(from->window()) : nullptr;
    if (window && window->statusBar())
        window->statusBar()->showMessage(text, StatusMessageMilliseconds);
}

QString UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString InstalledDataFolder()
{
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .filePath(QStringLiteral(QUILLON_DATA_FROM_PROGRAM)));
}

QStringList DataFolders()
{
    QStringList folders = {QDir::currentPath(), UserDataFolder(),
                           QCoreApplication::applicationDirPath(), InstalledDataFolder()};
    folders.removeAll(QString());
    return folders;
}

QString FindDataFile(const QString& relative)
{
    for (const QString& folder : DataFolders())
    {
        const QString path = QDir(folder).filePath(relative);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}
