// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/VKFormView.h"

#include <QString>

#include <memory>

class QSettings;
class QWidget;

// The program's preferences: the group "Preferences" with the value "Version", kept by
// QSettings("Harlowen", "Quillon") (the registry on Windows, a .conf file elsewhere). Beside
// them, in the group "Layout", each calculator's pane sizes.
class CRegistry : public CVKLayoutStore
{
public:
    // settingsFile empty: the user's own settings; else that INI file (tests).
    explicit CRegistry(QWidget* owner, const QString& settingsFile = QString());
    ~CRegistry() override;

    // Makes sure the preferences exist: reads "Version", or writes it when it cannot be
    // read. When neither works the user is told and the program is asked to quit.
    bool ReadSettings();
    bool WriteSettings();

    bool ReadString(const QString& key, const QString& name, QString& value);
    bool WriteString(const QString& key, const QString& name, const QString& value);

    QByteArray LoadLayout(const QString& formKey) override;
    void SaveLayout(const QString& formKey, const QByteArray& state) override;

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
