#pragma once

// Help requests of the forms. A form asks for its full topic by name (F1); the application
// installs the help window that shows it. Tests install a handler that records the request.

#include <QString>
#include <functional>

namespace velmora {

void ShowHelpTopic(const QString& topic);

using HelpTopicHandler = std::function<void(const QString& topic)>;
void SetHelpTopicHandler(HelpTopicHandler handler);

} // namespace velmora
