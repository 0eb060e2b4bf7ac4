// Test helpers for the routing panels: find an element's panel window by
// its title and reach the grid's check boxes, which all share one name,
// by their place in the view tree.
#pragma once

#include <VantrelTest.h>

#include <Application.h>
#include <CheckBox.h>
#include <InputAPI.h>
#include <MenuItem.h>
#include <StringView.h>
#include <Window.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel::testing {

inline BWindow* FindPanel(const std::string& title)
{
	for (int32 i = 0; i < be_app->CountWindows(); i++) {
		BWindow* window = be_app->WindowAt(i);
		if (window && window->Lock()) {
			bool match = title == window->Title();
			window->Unlock();
			if (match)
				return window;
		}
	}
	return nullptr;
}

inline void WalkViews(BView* view, const std::function<void(BView*)>& visit)
{
	visit(view);
	for (int32 i = 0; i < view->CountChildren(); i++)
		WalkViews(view->ChildAt(i), visit);
}

// Runs `body` under the window's lock with the grid's boxes in tree order.
template <typename Body>
void WithBoxes(BWindow* window, Body body)
{
	ASSERT_TRUE(window->Lock());
	std::vector<BCheckBox*> boxes;
	WalkViews(window->ContentView(), [&](BView* view) {
		if (BCheckBox* box = dynamic_cast<BCheckBox*>(view))
			boxes.push_back(box);
	});
	body(boxes);
	window->Unlock();
}

// The texts of the window's string views, in tree order.
inline std::vector<std::string> Labels(BWindow* window)
{
	std::vector<std::string> texts;
	if (!window->Lock())
		return texts;
	WalkViews(window->ContentView(), [&](BView* view) {
		if (BStringView* label = dynamic_cast<BStringView*>(view))
			texts.push_back(label->Text());
	});
	window->Unlock();
	return texts;
}

// Clicks the index-th box of the grid through the input layer. The boxes
// share a name, so the box is renamed for the moment of the click.
inline status_t ClickBox(BWindow* window, size_t index)
{
	BCheckBox* target = nullptr;
	WithBoxes(window, [&](std::vector<BCheckBox*>& boxes) {
		if (index < boxes.size()) {
			target = boxes[index];
			target->SetName("probe target");
		}
	});
	if (!target)
		return B_BAD_INDEX;
	std::string why;
	status_t status = platform_input::Click(window, "probe target", &why);
	EXPECT_EQ(status, B_OK) << why;
	window->Lock();
	target->SetName("mark");
	window->Unlock();
	return status;
}

// Box values of the grid, in tree order.
inline std::vector<int32> BoxValues(BWindow* window)
{
	std::vector<int32> values;
	WithBoxes(window, [&](std::vector<BCheckBox*>& boxes) {
		for (BCheckBox* box : boxes)
			values.push_back(box->Value());
	});
	return values;
}

}  // namespace vantrel::testing
