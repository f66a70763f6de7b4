#pragma once
// The registrar's access to the system's registry.

#include "frame/registrar/Registrar.h"

class CSystemRegistry final : public IRegistryAccess
{
public:
    long CreateKey(const std::string& root, const std::string& path) override;
    long SetValue(const std::string& root, const std::string& path, const std::string& name,
                  const RegistryScript::CValue& value) override;
    long DeleteTree(const std::string& root, const std::string& path) override;
};
