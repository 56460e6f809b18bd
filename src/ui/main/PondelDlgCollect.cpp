// The address sweep: finding the running hosts of a range.
#include "PondelDlg.h"

namespace pondel {

void CPondelDlg::OnCollectHosts()
{
}

} // namespace pondel
