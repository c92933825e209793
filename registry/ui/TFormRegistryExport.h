#pragma once

#include "registry/RegistryPreview.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kront
{

class Dialogs;

// "Выгрузка во ФГИС «Аршин»": the thermocouple results an export will write, every
// thermocouple it cannot write with the reason, so that the operator can mend the data first,
// and the file to write. "Выгрузить" closes the window accepted when there is something to
// write and a file is named.
class TFormRegistryExport : public QDialog
{
    Q_OBJECT
public:
    explicit TFormRegistryExport(Dialogs &dialogs, QWidget *parent = nullptr);

    // Fills the window; `file` is the file offered.
    void showPreview(const RegistryPreview &preview, const QString &file);
    QString fileName() const;

    QLabel *LabelSummary;
    QTableWidget *StringGridResults;
    QTableWidget *StringGridRefusals;
    QLineEdit *EditFileName;
    QPushButton *ButtonBrowse; // "Обзор…"
    QPushButton *ButtonExport; // "Выгрузить"
    QPushButton *ButtonCancel; // "Отмена"

    void ButtonBrowseClick();
    void ButtonExportClick();

private:
    QWidget *createResults();
    QWidget *createRefusals();

    Dialogs &dialogs;
};

} // namespace kront
