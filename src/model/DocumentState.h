#pragma once

#include <QObject>
#include <QString>

namespace glowline {

// What the editor knows about the sequence as a document: whether it has
// changes that are not in its file, which file it belongs to, and whether the
// line window is being redrawn (a redraw writes cells but is no edit).
class DocumentState final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool hasUnsavedChanges() const { return m_changed; }
    // "*" while there are unsaved changes, "" otherwise.
    QString changedMarker() const;
    QString fileName() const { return m_fileName; }
    bool hasFileName() const { return !m_fileName.isEmpty(); }
    bool isRefreshing() const { return m_refreshing; }

    // Sets the marker unless a redraw is running.
    void markChanged();
    void clearChangedMarker();
    void setFileName(const QString &fileName);
    void setRefreshing(bool refreshing) { m_refreshing = refreshing; }

signals:
    void changedMarkerChanged(const QString &marker);
    void fileNameChanged(const QString &fileName);

private:
    void setChanged(bool changed);

    bool m_changed = false;
    bool m_refreshing = false;
    QString m_fileName;
};

// Holds the refreshing flag for one scope.
class RefreshingScope final
{
public:
    explicit RefreshingScope(DocumentState &state) : m_state(state), m_was(state.isRefreshing())
    {
        m_state.setRefreshing(true);
    }
    ~RefreshingScope() { m_state.setRefreshing(m_was); }
    Q_DISABLE_COPY_MOVE(RefreshingScope)

private:
    DocumentState &m_state;
    bool m_was;
};

} // namespace glowline
