#include "composer_windows.h"

TDeskBGSetFrm* DeskBGSetFrm = nullptr;
TPicPreviewFrm* PicPreviewFrm = nullptr;
TPicSelFrm* PicSelFrm = nullptr;
TInforFrm* InforFrm = nullptr;
TMixPicFrm* MixPicFrm = nullptr;

TDeskBGSetFrm::TDeskBGSetFrm(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("DeskBGSetFrm")); }
TPicPreviewFrm::TPicPreviewFrm(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("PicPreviewFrm")); }
TPicSelFrm::TPicSelFrm(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("PicSelFrm")); }
TInforFrm::TInforFrm(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("InforFrm")); }
TMixPicFrm::TMixPicFrm(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("MixPicFrm")); }
