#pragma once

#include "model/Generators.h"
#include "model/LineTable.h"

#include <QDialog>

#include <optional>

class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QWidget;

namespace glowline {

// What the generator dialogs share: their fields in a form, a line that says
// how many lines the generator makes and how many file words the sequence
// gains or loses, and OK / Cancel. Enter applies, Esc cancels; the dialog
// opens with the focus in its first field, its text selected.
//
// The dialog works on its own copy of the sequence it was given (a fraction
// of a millisecond at 32767 lines), so it never reads a table that changed or
// went away after it opened. Every change of a field works the
// lines out again and offers them as a preview; a result that would pass the
// line limit says so and cannot be applied.
class GeneratorDialog : public QDialog
{
    Q_OBJECT

public:
    GeneratorDialog(const LineTable &table, int currentLine, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(GeneratorDialog)

    // The lines to put in place once the dialog was accepted; nothing after
    // Cancel or Esc.
    std::optional<GeneratedLines> acceptedLines() const;

    void done(int result) override;

signals:
    // The lines the fields give now, for the sequence map to show.
    void previewChanged(const glowline::GeneratedLines &lines);
    // Nothing to preview any more: the fields give no lines, or the dialog closed.
    void previewCleared();

protected:
    virtual GeneratedLines generate() const = 0;

    // Adds a field to the form; the first one added takes the focus on opening.
    void addField(const QString &label, QWidget *field);
    // Works the lines out again; the fields' change signals call it.
    void refresh();

    const LineTable &table() const { return m_table; }
    int currentLine() const { return m_currentLine; }

    void showEvent(QShowEvent *event) override;

private:
    // The lines the fields give now, when they fit in the sequence.
    std::optional<GeneratedLines> fittingLines() const;
    QString summaryOf(const GeneratedLines &lines) const;

    const LineTable m_table;
    int m_currentLine;
    int m_wordsBefore;
    QFormLayout *m_form;
    QLabel *m_summary;
    QDialogButtonBox *m_buttons;
    QWidget *m_firstField = nullptr;
};

} // namespace glowline
