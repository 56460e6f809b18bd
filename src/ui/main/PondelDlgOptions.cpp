// The option dialog and applying what it changed.
#include "PondelDlg.h"

namespace pondel {

void CPondelDlg::OnOption()
{
}

} // namespace pondel
