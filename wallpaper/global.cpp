#include "global.h"

QList<TPicBGList> BackgroundList;
int BackgroundCount = 0;

bool AskBeforeApply = true;
bool ApplyConfirmed = false;
QString ConfigSetBgPath;
