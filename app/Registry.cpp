// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Registry.h"

#include "database/MessagePresenter.h"

#include <QCoreApplication>
#include <QSettings>

namespace
{
const char* const ProgramVersion = "1.0.0";
const char* const ErrorTitle = " Error!";
} // namespace

CRegistry::CRegistry(QWidget* owner, const QString& settingsFile)
    : m_pOwner(owner), m_strVersion(QString::fromLatin1(ProgramVersion)),
      m_strKeyPath(QStringLiteral("Preferences"))
{
    if (settingsFile.isEmpty())
        m_Settings =
            std::make_unique<QSettings>(QStringLiteral("Harlowen"), QStringLiteral("Quillon"));
    else
        m_Settings = std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
}

CRegistry::~CRegistry() = default;

bool CRegistry::ReadString(const QString& key, const QString& name, QString& value)
{
    value.clear();
    const QString path = key + QLatin1Char('/') + name;
    if (m_Settings->status() != QSettings::NoError || !m_Settings->contains(path))
        return false;
    value = m_Settings->value(path).toString();
    return true;
}

bool CRegistry::WriteString(const QString& key, const QString& name, const QString& value)
{
    m_Settings->setValue(key + QLatin1Char('/') + name, value);
    m_Settings->sync();
    return m_Settings->status() == QSettings::NoError;
}

QByteArray CRegistry::LoadLayout(const QString& formKey)
{
    return m_Settings->value(QStringLiteral("Layout/") + formKey).toByteArray();
}

void CRegistry::SaveLayout(const QString& formKey, const QByteArray& state)
{
    m_Settings->setValue(QStringLiteral("Layout/") + formKey, state);
    m_Settings->sync();
}

bool CRegistry::ReadSettings()
{
    const bool opened = m_Settings->status() == QSettings::NoError &&
                        m_Settings->childGroups().contains(m_strKeyPath);
    if (opened && ReadString(m_strKeyPath, QStringLiteral("Version"), m_strVersion))
        return true;
    if (WriteSettings())
        return true;
    ShowMessage(ErrorTitle, "Error reading registry values", EMessageIcon::None);
    // As a posted quit: start-up runs on and the program ends once its event loop starts.
    m_QuitPosted = true;
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    return false;
}

bool CRegistry::WriteSettings()
{
    if (WriteString(m_strKeyPath, QStringLiteral("Version"), m_strVersion))
        return true;
    ShowMessage(ErrorTitle, "Error setting registry values", EMessageIcon::None);
    return false;
}
