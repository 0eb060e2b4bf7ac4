// The export bodies that every element with a ZMPanel-derived panel shares:
// the element keeps `closed`, `label` and `panel` (null once closed).
#pragma once

#include <Message.h>

template <class Element>
void close_element_panel(Element* element)
{
	if (element->panel) {
		element->panel->Close();
		element->panel = nullptr;
	}
	element->closed = true;
}

// LabelElem: stores the pointer and retitles the panel; nothing without one.
template <class Element>
void label_element(Element* element, const char* label)
{
	if (!element || !element->panel)
		return;
	element->label = label;
	element->panel->Lock();
	element->panel->SetTitle(label);
	element->panel->Unlock();
}

// Panel: -1 without an element or panel, else shows (or raises) it.
template <class Element>
int present_element(Element* element, BMessage* panelMessage)
{
	if (!element || !element->panel)
		return -1;
	return element->panel->Present(panelMessage, element->label);
}
