#pragma once

#include <QStringList>
#include <QWidget>

class QPlainTextEdit;

namespace kront
{

// Page 2 "Средства поверки": the verification means, one line each.
class MeansPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MeansPageWidget(QWidget *parent = nullptr);

    // The template lines a new window starts with.
    static QStringList templateLines();

    QStringList lines() const;
    void setLines(const QStringList &lines);

    QPlainTextEdit *MemoVerificationFacilities;
};

} // namespace kront
