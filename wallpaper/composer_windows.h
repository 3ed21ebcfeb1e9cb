#pragma once
// The windows of the wallpaper composer. They are created hidden at start-up and
// live until the program ends; the compose action fills them in.

#include <QWidget>

class TDeskBGSetFrm : public QWidget {
    Q_OBJECT
public:
    explicit TDeskBGSetFrm(QWidget* parent = nullptr);
};

class TPicPreviewFrm : public QWidget {
    Q_OBJECT
public:
    explicit TPicPreviewFrm(QWidget* parent = nullptr);
};

class TPicSelFrm : public QWidget {
    Q_OBJECT
public:
    explicit TPicSelFrm(QWidget* parent = nullptr);
};

class TInforFrm : public QWidget {
    Q_OBJECT
public:
    explicit TInforFrm(QWidget* parent = nullptr);
};

class TMixPicFrm : public QWidget {
    Q_OBJECT
public:
    explicit TMixPicFrm(QWidget* parent = nullptr);
};

extern TDeskBGSetFrm* DeskBGSetFrm;
extern TPicPreviewFrm* PicPreviewFrm;
extern TPicSelFrm* PicSelFrm;
extern TInforFrm* InforFrm;
extern TMixPicFrm* MixPicFrm;
