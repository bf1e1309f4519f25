#include "toolkit/application.h"

#include <new>

#include "toolkit/context.h"
#include "toolkit/module_table.h"
#include "toolkit/path_parts.h"

namespace {

ToolkitApp* CurrentApp() {
  ToolkitContext* context = CurrentContext();
  return context ? context->app : nullptr;
}

}  // namespace

bool ToolkitStartUp(void* instance) {
  if (!AttachContext()) return false;
  ToolkitContext* context = CurrentContext();
  if (!context) return false;
  if (context->app) {
    ++context->app->startCount;
  } else {
    context->app = new (std::nothrow) ToolkitApp;
    if (!context->app) return false;
    context->app->startCount = 1;
  }
  if (context->app->startCount > 1) return true;
  if (instance) {
    FixedPath programFile;
    SetToProgramFile(programFile, nullptr);
    RegisterModule(instance, ProgramModuleKey, &programFile);  // a start-up without it still works
  }
  return true;
}

bool ToolkitShutDown() {
  ToolkitContext* context = CurrentContext();
  if (context && context->app) {
    ToolkitApp* app = context->app;
    if (app->startCount <= 1 && ModuleHandleForKey(ProgramModuleKey)) {
      UnregisterModule(ProgramModuleKey);
    }
    if (app->startCount > 0) --app->startCount;
    if (app->startCount == 0) {
      context->app = nullptr;
      delete app;
    }
  }
  return DetachContext();
}

bool RegisterModule(void* handle, int32_t key, const FixedPath* path) {
  ToolkitApp* app = CurrentApp();
  return app && AddModule(app->modules, handle, key, path);
}

bool UnregisterModule(int32_t key) {
  ToolkitApp* app = CurrentApp();
  return app && RemoveModule(app->modules, key);
}

void* ModuleHandleForKey(int32_t key) {
  ToolkitApp* app = CurrentApp();
  return app ? FindModuleHandle(app->modules, key) : nullptr;
}

bool ModuleFileForKey(int32_t key, FixedPath& out) {
  ToolkitApp* app = CurrentApp();
  return app && FindModuleFile(app->modules, key, out);
}
