#pragma once

#include "database/Error.h"

#include <QObject>
#include <QString>

// The document of one calculator form: it lives as long as the form's child window and
// loads design files into, and saves them from, the active form.
class CQuillonDoc : public QObject
{
    Q_OBJECT

public:
    explicit CQuillonDoc(QObject* parent = nullptr);
    ~CQuillonDoc() override;

    // Loads a design file into the active form; on success the file becomes the
    // document's path name.
    virtual bool OnOpenDocument(const QString& path);
    // Save (with the document's path name) and Save As (with none, which asks for a file).
    virtual bool DoSave(const QString& path, bool replace = true);
    // Writes the active form to the file, safely, and says so.
    void SaveDesign(const QString& path);

    // The menu commands "&Save..." and "Save &As".
    void OnFileSave();
    void OnFileSaveAs();

    // The title is the file name of the path name unless set otherwise.
    virtual void SetPathName(const QString& path);
    const QString& GetPathName() const { return m_strPathName; }
    void SetTitle(const QString& title);
    const QString& GetTitle() const { return m_strTitle; }

    // Nothing sets the flag, so closing a form never asks to save.
    virtual bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

signals:
    void TitleChanged(const QString& title);

private:
    // The Save dialog's proposal when the document has no path name.
    QString SaveProposal(bool replace) const;

    CError m_error;
    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
};
