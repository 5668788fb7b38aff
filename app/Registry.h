#pragma once

#include <QString>

#include <memory>

class QSettings;
class QWidget;

// The program's preferences: the group "Preferences" with the value "Version", kept by
// QSettings("Harlowen", "Quillon") (the registry on Windows, a .conf file elsewhere).
class CRegistry
{
public:
    // settingsFile empty: the user's own settings; else that INI file (tests).
    explicit CRegistry(QWidget* owner, const QString& settingsFile = QString());
    virtual ~CRegistry();

    // Makes sure the preferences exist: reads "Version", or writes it when it cannot be
    // read. When neither works the user is told and the program is asked to quit.
    bool ReadSettings();
    bool WriteSettings();

    bool ReadString(const QString& key, const QString& name, QString& value);
    bool WriteString(const QString& key, const QString& name, const QString& value);

    const QString& Version() const { return m_strVersion; }
    const QString& KeyPath() const { return m_strKeyPath; }
    bool QuitPosted() const { return m_QuitPosted; }

private:
    QWidget* m_pOwner;
    QString m_strVersion;
    QString m_strKeyPath;
    std::unique_ptr<QSettings> m_Settings;
    bool m_QuitPosted = false;
};
