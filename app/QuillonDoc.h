// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DesignFile.h"
#include "database/Error.h"

#include <QPointer>

#include <QObject>
#include <QString>

class CDocumentHost;
class CVKFormView;

// The document of one calculator form: it lives as long as the form's child window and
// loads design files into, and saves them from, its form. Without a host it asks nothing
// and writes the current file format version.
class CQuillonDoc : public QObject
{
    Q_OBJECT

public:
    explicit CQuillonDoc(CVKFormView* form, CDocumentHost* host = nullptr,
                         QObject* parent = nullptr);
    ~CQuillonDoc() override;

    CVKFormView* Form() const { return m_Form; }

    // Loads a design file into the form (LoadDesign); on success the file becomes the
    // document's path name and the document is unmodified.
    virtual bool OnOpenDocument(const QString& path, EDesignLoad load = EDesignLoad::Chosen);
    // Save (with the document's path name) and Save As (with none, which asks for a file).
    // Only a save that wrote the file moves the document to it; false when nothing was saved.
    virtual bool DoSave(const QString& path, bool replace = true);
    // Writes the form to the file, safely, and says so. False when it could not.
    bool SaveDesign(const QString& path);
    // Before the document's window closes: a modified document asks "Save changes to
    // <file>?". True when the window may close (saved or discarded).
    virtual bool SaveModified();

    // The menu commands "&Save..." and "Save &As".
    void OnFileSave();
    void OnFileSaveAs();

    // The title is the file name of the path name unless set otherwise.
    virtual void SetPathName(const QString& path);
    const QString& GetPathName() const { return m_strPathName; }
    void SetTitle(const QString& title);
    const QString& GetTitle() const { return m_strTitle; }
    // The file the document stands for: its path name, or else the title, which names the
    // default design it looked for.
    QString FilePath() const { return m_strPathName.isEmpty() ? m_strTitle : m_strPathName; }

    // Set when a field, check box or radio button changes after the last load or save.
    virtual bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true);

signals:
    void TitleChanged(const QString& title);
    void ModifiedChanged(bool modified);

private:
    // The Save dialog's proposal when the document has no path name.
    QString SaveProposal(bool replace) const;

    CError m_error;
    QPointer<CVKFormView> m_Form;
    CDocumentHost* m_Host;
    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
};
