// Help topics by context number: 100 the index, 300 the week chart,
// 400 the properties, 500 the customers, 600 the history of charges, 700
// the projects tree.
#pragma once

namespace quillory {

enum HelpContext : int {
    kHelpIndex = 100,
    kHelpWeekChart = 300,
    kHelpProperties = 400,
    kHelpCustomers = 500,
    kHelpHistory = 600,
    kHelpProjectsTree = 700,
    kHelpUsingHelp = 1, // how to use the help window itself
};

class HelpService {
public:
    virtual ~HelpService() = default;
    virtual void showHelp(int context) = 0;
};

} // namespace quillory
