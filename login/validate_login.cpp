#include "login/validate_login.h"

#include "login/login_check.h"
#include "shell/base/message_box.h"

bool ValidateLogin(const QString& portBoxText)
{
    const QString problem = loginProblem(portBoxText);
    if (problem.isEmpty())
        return true;
    showMessage(problem);
    return false;
}
