// A plug-in library for the tests: its initialiser registers one class by name.
#include "sdk/appframe/object_creater.h"
#include "test_plugin_object.h"

namespace {

class CTestPlugInObject : public ITestPlugInObject
{
public:
    int Answer() override { return 42; }
};

} // namespace

extern "C" __attribute__((visibility("default"))) void
ZelvDllInitializer(zelvoranGameSDK3rd::AppFrame::IObjectCreater* creater)
{
    creater->RegisterObject("CTestPlugInObject",
                            new zelvoranGameSDK3rd::ZTL::factory_i2<ITestPlugInObject, CTestPlugInObject>);
}
