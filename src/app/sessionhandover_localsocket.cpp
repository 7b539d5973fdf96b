#include "app/localsockethandover.h"
#include "app/sessionhandover.h"

namespace inkvale {

std::unique_ptr<SessionHandover> makeSessionHandover()
{
    return std::make_unique<LocalSocketHandover>();
}

} // namespace inkvale
