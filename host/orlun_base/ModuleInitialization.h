#pragma once

#include <QObject>

namespace orlun_base {

// Base of every module's entry object. The client calls the hooks when it
// loads a module (init, moduleInit) and when it logs out (recoveryToInitialState).
class ModuleInitialization : public QObject
{
    Q_OBJECT
public:
    explicit ModuleInitialization(QObject *parent = nullptr);
    ~ModuleInitialization() override;

    virtual void recoveryToInitialState();
    virtual void moduleInit();
    virtual void init();
};

} // namespace orlun_base
