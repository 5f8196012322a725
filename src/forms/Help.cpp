#include "Help.h"

namespace velmora {
namespace {
HelpTopicHandler& Handler() {
    static HelpTopicHandler handler;
    return handler;
}
} // namespace

void ShowHelpTopic(const QString& topic) {
    if (Handler()) Handler()(topic);
}

void SetHelpTopicHandler(HelpTopicHandler handler) {
    Handler() = std::move(handler);
}

} // namespace velmora
