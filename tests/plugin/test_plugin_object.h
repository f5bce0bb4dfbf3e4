#pragma once
// What the test plug-in's class offers to the program that made it by name.

class ITestPlugInObject
{
public:
    virtual int Answer() = 0;
    virtual ~ITestPlugInObject() = default;
};
