#pragma once
// The document's edit buffer as the tests of the window's controller see and set it.
#include "app/MainController.h"

#include <vector>

inline std::vector<uint8_t> EditorBytes(MainController& controller)
{
    const std::span<const uint8_t> bytes = controller.session().document().bytes();
    return {bytes.begin(), bytes.end()};
}

inline void SetEditorBytes(MainController& controller, const std::vector<uint8_t>& bytes)
{
    controller.session().document().editor().load(bytes);
}
