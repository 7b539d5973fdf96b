#include "app/sessionhandover.h"
#include "app/windowhandover.h"

namespace inkvale {

std::unique_ptr<SessionHandover> makeSessionHandover()
{
    return std::make_unique<WindowHandover>();
}

} // namespace inkvale
