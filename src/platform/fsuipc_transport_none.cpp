// No FSUIPC outside Windows: the link finds no simulator window.
#include "simlink/fsuipc_client.h"

namespace tolvex {

std::unique_ptr<FsuipcTransport> make_system_fsuipc_transport() { return nullptr; }

}  // namespace tolvex
