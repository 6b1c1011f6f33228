#include "app/SceneRequest.h"

namespace zepa {
namespace {
SceneChangeRequest g_request;
}

void RequestSceneChange(const std::string& name) {
    g_request.pending = true;
    g_request.name = name;
}

SceneChangeRequest& PendingSceneChange() {
    return g_request;
}

void ResetSceneChangeRequest() {
    g_request = SceneChangeRequest{};
}

}  // namespace zepa
