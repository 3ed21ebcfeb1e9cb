#pragma once
// The background list window: the user adds, removes and chooses the pictures
// the wallpaper rotates through.

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QTreeWidget;

class TPicSelFrm : public QDialog {
    Q_OBJECT
public:
    explicit TPicSelFrm(QWidget* parent = nullptr);

    // Refills the list view from the list file (or writes the default file).
    void LoadPictureList();

    // Rescales the BMP file source to width x height, dropping rows and columns,
    // and writes it to destination. Throws on failure.
    static void ShrinkPicture(const QString& source, const QString& destination, int width, int height);

    void btnAddClick();
    void btnRemoveClick();
    void btnOkClick();

    // The file-open dialog and the message box; tests replace them.
    static QString (*GetOpenFileName)(QWidget* parent, const QString& filter);
    static void (*ShowMessage)(QWidget* parent, const QString& message);

    QString FCurrentName;
    QString FFilter; // the open dialog's filter

    QLabel* imgBG = nullptr;
    QLabel* imgLogo = nullptr;
    QWidget* Shape1 = nullptr;
    QTreeWidget* LVpic = nullptr;
    QLabel* lblTishi = nullptr;
    QLabel* imgSel = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnOk = nullptr;
    QWidget* img_close = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void WriteList();
    QStringList Captions() const;
};

extern TPicSelFrm* PicSelFrm;
