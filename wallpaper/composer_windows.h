#pragma once
// The windows of the wallpaper composer. They are created hidden at start-up and
// live until the program ends; the compose action fills them in.

#include "desk_bg_set.h"
#include "info_frm.h"
#include "pic_mix.h"
#include "pic_sel.h"
