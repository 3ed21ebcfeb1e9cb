#pragma once
// The confirmation box asked before a wallpaper is applied.

#include <QColor>
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class TInforFrm : public QDialog {
    Q_OBJECT
public:
    explicit TInforFrm(QWidget* parent = nullptr);

    // Shows the box modally, centred on the owner window (or the screen).
    void ShowModal(QWidget* owner);

    // Runs a dialog modally; tests replace it to answer the box.
    static int (*ExecModal)(QDialog* dialog);

    void btnokClick();
    void btncancelClick();
    void btnCloseClick();

    QWidget* shpBG = nullptr;
    QLabel* imgques = nullptr;
    QLabel* lblInfo = nullptr;
    QCheckBox* chkSetBgInfo = nullptr;
    QPushButton* btnok = nullptr;
    QPushButton* btncancel = nullptr;
    QPushButton* btnClose = nullptr;
};

extern TInforFrm* InforFrm;

namespace wallpaper {
// Centres the window on the owner, or on its screen without one.
void CentreOn(QWidget* window, QWidget* owner);
// A frameless window follows the mouse pressed on one of its parts.
void MoveByPart(QWidget* part);

// A rectangle outline in one colour over the whole widget (the windows' shapes).
class TShape : public QWidget {
public:
    TShape(QWidget* parent, QColor pen) : QWidget(parent), FPen(pen) {}

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor FPen;
};
} // namespace wallpaper
