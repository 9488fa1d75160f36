#pragma once
// The device every effect draws through.

namespace vesta {

class RenderModule {
public:
    virtual ~RenderModule() = default;
};

}  // namespace vesta
