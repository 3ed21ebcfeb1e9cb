#pragma once
// The wallpaper settings object and the preview holder. Both are windows created
// hidden at start-up and never shown; they carry the state of the compose action.

#include <QImage>
#include <QStringList>
#include <QWidget>

class TDeskBGSetFrm : public QWidget {
    Q_OBJECT
public:
    explicit TDeskBGSetFrm(QWidget* parent = nullptr);

    // Replaces the text to draw with the note's plain text as one entry, its
    // line breaks as CR LF.
    void PrepareContent(const QString& notePlainText);

    // Draws the text into a picture `width` x 400 (white ground, one-pixel frame
    // in the window colour, text from 20, 10 to 306, 390 in "宋体" 11 points,
    // word-wrapped and clipped) and writes it to FPictureDir + "Content.bmp".
    // Throws when the file cannot be written.
    void DrawContentImage(int width);

    // The picture DrawContentImage writes, for callers that want it in memory.
    static QImage RenderContentImage(const QString& text, int width);

    // Makes the file the desktop wallpaper, stretched. Throws when the desktop
    // has no backend or did not take the picture.
    void ApplyWallpaper(const QString& path);

    QString FPictureDir;     // program directory + "source\DeskTopBG\"
    QString FBackgroundPath; // background of the running action
    QString FOverlayPath;    // picture laid over the background in the running step
    QStringList FContentLines;
};

class TPicPreviewFrm : public QWidget {
    Q_OBJECT
public:
    explicit TPicPreviewFrm(QWidget* parent = nullptr);

    QImage imgPreview; // copy of the last composition
};

extern TDeskBGSetFrm* DeskBGSetFrm;
extern TPicPreviewFrm* PicPreviewFrm;
