#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <array>
#include <optional>

namespace kront
{

// "Версия " followed by the version as "%d.%d.%d.%d"; "Версия " alone when
// the program carries no version.
QString versionLabelText(const std::optional<std::array<int, 4>> &version);

// The program home in use, where the lab's data, settings and templates lie.
QString homeLabelText(const QString &home);

// The version the program was built with (the project version).
std::optional<std::array<int, 4>> programVersion();

// A label that opens its address with the desktop's default program when
// clicked, blue and underlined while the mouse is over it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    LinkLabel(const QString &text, const QUrl &target, QWidget *parent = nullptr);
    const QUrl &target() const { return url; }
    bool isHighlighted() const { return highlighted; }

Q_SIGNALS:
    void activated(const QUrl &url);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setHighlighted(bool on);

    QUrl url;
    bool highlighted = false;
};

// The about box: picture, product line, version, the program home, the
// maker's postal and contact block, its web site and mail address. Any key
// closes it.
class TFormAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAbout(QWidget *owner = nullptr);

    QLabel *LabelVersion;
    QLabel *LabelHome;
    LinkLabel *LabelWebSite;
    LinkLabel *LabelMail;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

} // namespace kront
