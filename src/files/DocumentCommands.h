#pragma once

#include "files/FileStamp.h"

#include <QString>

#include <optional>

namespace glowline {

class Dialogs;
class Document;

// New, Load, Save, Save As and the close request, with the question that
// guards unsaved changes. Whether a save succeeded is read from the document's
// changed marker, the same way every caller of save() learns it.
class DocumentCommands final
{
public:
    DocumentCommands(Document &document, Dialogs &dialogs)
        : m_document(document), m_dialogs(dialogs)
    {}
    Q_DISABLE_COPY_MOVE(DocumentCommands)

    // Writes the sequence to its file, or asks for a name first when it has
    // none. Clears the changed marker only when the file was written. When
    // another program changed the file since the editor read or wrote it,
    // asks before writing over it.
    void save();
    void saveAs();
    // Asks to save unsaved changes. Returns true to go on, false to stop
    // (Cancel, or a save that did not happen).
    bool savePrompt();
    // Starts a new sequence without a file name, so that Save asks for one
    // rather than write over the file that was open.
    void newFile();
    // Asks, shows the Open dialog and reads the chosen file.
    void load();
    // Reads path and, only when the whole file could be read, makes it the
    // sequence. On failure says why and leaves the sequence, the file name and
    // the changed marker as they were. Asks nothing about unsaved changes.
    bool loadFile(const QString &path);
    // Returns true when the window may close.
    bool closeRequest() { return savePrompt(); }
    // True when the sequence's file is no longer the version the editor last
    // read or wrote: another program rewrote, replaced or removed it.
    bool fileChangedOnDisk() const;

private:
    Document &m_document;
    Dialogs &m_dialogs;
    // The file as the editor last read or wrote it; nothing for a sequence
    // that has no file yet, or whose name was given without reading it.
    std::optional<FileStamp> m_stamp;
};

} // namespace glowline
