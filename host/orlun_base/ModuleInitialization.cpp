#include "ModuleInitialization.h"

namespace orlun_base {

ModuleInitialization::ModuleInitialization(QObject *parent)
    : QObject(parent)
{}

ModuleInitialization::~ModuleInitialization() = default;

// The hooks are optional for a module: a module without start-up or log-out
// work keeps these empty defaults.
void ModuleInitialization::recoveryToInitialState() {}

void ModuleInitialization::moduleInit() {}

void ModuleInitialization::init() {}

} // namespace orlun_base
