// The properties of one found file: every fact the catalogue knows (not only
// the table's columns), then every translation of its version resource with
// all the strings of that translation. Facts and strings are read afresh from
// the file in one look. Rows can be selected and copied (Ctrl+C or "Copy")
// as "name<TAB>value" lines.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QTableWidget;

class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // folder ends in "/".
    PropertiesDialog(const std::string& folder, const std::string& name, QWidget* parent = nullptr);

    QTableWidget* Table() const { return table_; }
    // The selected rows as "name<TAB>value" lines; every row when none is
    // selected.
    QString CopyText() const;
    // Puts CopyText() on the clipboard.
    void Copy();

private:
    void AddRow(const QString& name, const QString& value, bool heading = false);

    QTableWidget* table_;
};
