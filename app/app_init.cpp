#include "app/app_init.h"

#include "app/cooltrayicon.h"

void InitApp() {
  InitCoolTrayIcon();
}
